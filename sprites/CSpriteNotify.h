// CSpriteNotify: the change sink a sprite reports to, so that whoever owns the scene can repaint
// or re-sort.
#pragma once

#include "CObject.h"

// Hints a sprite sends; the owner may combine its own with them.
constexpr DWORD SPRITE_HINT_MOVED = 0x0002;    // first: the rectangle before, second: after
constexpr DWORD SPRITE_HINT_CHANGED = 0x0004;  // first: the current rectangle, second: null

class CSpriteNotify : public CObject {
 public:
  CSpriteNotify() = default;

  // Overridables
  // pSender is the sprite that changed; both rectangles are computed before the call and are
  // valid only during it. This sink ignores every change.
  virtual void Change(CObject* pSender, DWORD dwHint, LPCRECT lpRect1, LPCRECT lpRect2);
};
