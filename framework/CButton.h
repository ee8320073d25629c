// A button control. An owner-drawn button draws itself: the parent's WM_DRAWITEM comes back to
// the button's DrawItem.
#pragma once

#include "CWnd.h"

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

 public:
  // Overridables
  // Draws an owner-drawn button; a plain button draws nothing here.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
