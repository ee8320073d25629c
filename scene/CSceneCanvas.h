// The scene's back buffer: the background with the sprites composed on it back to front, in
// the palette made from the background. It is the sink of every sprite of the scene and keeps
// the rectangles their moves and changes name until the window takes them.
#pragma once

#include "CDIBPalette.h"
#include "CScene.h"
#include "CSpriteNotify.h"

#include <vector>

class CSceneCanvas : public CSpriteNotify {
 public:
  CSceneCanvas() = default;
  ~CSceneCanvas() override;
  CSceneCanvas(const CSceneCanvas&) = delete;
  CSceneCanvas& operator=(const CSceneCanvas&) = delete;

  // Makes the palette and the buffer from the scene's background, maps the sprites' pictures
  // into the palette, makes this canvas their sink and composes the whole scene. FALSE, with a
  // sentence for the user in strError, when the buffer or the palette cannot be made.
  BOOL Create(CScene* pScene, CString& strError);

  // Hint SPRITE_HINT_MOVED damages the rectangles before and after, SPRITE_HINT_CHANGED the
  // current one; other hints damage nothing. A damaged rectangle takes in every fading sprite
  // it meets.
  void Change(CObject* pSender, DWORD dwHint, LPCRECT lpRect1, LPCRECT lpRect2) override;

  // Composes every damaged rectangle into the buffer and hands them over, cut to the buffer.
  std::vector<CRect> Update();
  // Background, then every sprite clipped to rc.
  void Compose(const CRect& rc);

  CDIB m_dib;
  CDIBPalette m_palette;

 private:
  void Damage(LPCRECT lpRect);
  CRect WithFadingSprites(CRect rc) const;

  CScene* m_pScene = nullptr;
  std::vector<CRect> m_damage;
};
