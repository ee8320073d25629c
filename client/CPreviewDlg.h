// The preview client's window: the scene's back buffer drawn in the scene's palette, with the
// chat bubbles on top, head of the list last. The sprites animate on a timer armed for the next
// due step only; a click on a sprite brings its bubble to the top, a drag moves the sprite, and
// Escape closes.
#pragma once

#include "CDialog.h"
#include "CSceneAnimator.h"
#include "CSceneCanvas.h"

class CPreviewDlg : public CDialog {
 public:
  // The scene must outlive the window. With a path the window reads the scene from that file as
  // it opens, and closes after telling the user when it cannot: the window is there, named,
  // before the client does anything that might let whoever waits for it go on.
  explicit CPreviewDlg(CScene* pScene, const char* pszScenePath = nullptr);

  const MessageTable& GetMessageTable() const override { return messages; }
  static const MessageTable messages;

  // The animation steps due at dwNow, the repaint of what they changed, and the timer armed for
  // the next step.
  void Step(DWORD dwNow);

  CSceneCanvas m_canvas;
  // Where the window reads the time; tests set a clock of their own.
  DWORD(WINAPI* m_pfnTickCount)() = &GetTickCount;

 protected:
  BOOL OnInitDialog() override;
  BOOL OnEraseBkgnd(CDC* pDC);
  void OnPaint();
  void OnTimer(UINT_PTR nIDEvent);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  BOOL OnQueryNewPalette();
  void OnPaletteChanged(CWnd* pFocusWnd);

 private:
  void Repaint();
  void Schedule(DWORD dwNow);
  void DrawBubbles(HDC hDC);

  CScene* m_pScene;
  CString m_strScenePath;
  CSceneAnimator m_animator;
  CSprite* m_pDragged = nullptr;
  CPoint m_ptGrab;  // the pointer's place on the dragged sprite
};
