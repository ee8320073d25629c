#include "CPreviewDlg.h"

#include "AfxRealizePalette.h"
#include "CGdiSelection.h"
#include "CPaintDC.h"
#include "CPaletteSelection.h"
#include "PreviewScene.h"
#include "resource.h"

#include <algorithm>

const CPreviewDlg::MessageTable CPreviewDlg::messages = {
    &CDialog::messages,
    {
        OnMessage<WM_ERASEBKGND>(&CPreviewDlg::OnEraseBkgnd),
        OnMessage<WM_PAINT>(&CPreviewDlg::OnPaint),
        OnMessage<WM_TIMER>(&CPreviewDlg::OnTimer),
        OnMessage<WM_LBUTTONDOWN>(&CPreviewDlg::OnLButtonDown),
        OnMessage<WM_MOUSEMOVE>(&CPreviewDlg::OnMouseMove),
        OnMessage<WM_LBUTTONUP>(&CPreviewDlg::OnLButtonUp),
        OnMessage<WM_QUERYNEWPALETTE>(&CPreviewDlg::OnQueryNewPalette),
        OnMessage<WM_PALETTECHANGED>(&CPreviewDlg::OnPaletteChanged),
    }};

namespace {

constexpr UINT_PTR kAnimationTimer = 1;
// Room between a bubble's edge and its text.
constexpr int kBubbleMargin = 6;

}  // namespace

CPreviewDlg::CPreviewDlg(CScene* pScene, const char* pszScenePath)
    : CDialog(IDD_PREVIEW), m_pScene(pScene), m_strScenePath(pszScenePath), m_animator(*pScene) {}

BOOL CPreviewDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_strScenePath.IsEmpty() && !OpenPreviewScene(m_pScene, m_strScenePath)) {
    EndDialog(IDABORT);
    return FALSE;
  }
  CString strError;
  if (!m_canvas.Create(m_pScene, strError)) {
    SayWhyTheSceneIsNotShown(strError);
    EndDialog(IDABORT);
    return FALSE;
  }
  // The template's caption gave the window its name; the window itself has no frame and no
  // caption bar: it is the scene, in the middle of the screen.
  SetWindowLongA(m_hWnd, GWL_STYLE, GetWindowLongA(m_hWnd, GWL_STYLE) & ~WS_CAPTION);
  const int cx = m_canvas.m_dib.GetWidth();
  const int cy = m_canvas.m_dib.GetHeight();
  SetWindowPos(nullptr, (GetSystemMetrics(SM_CXSCREEN) - cx) / 2, (GetSystemMetrics(SM_CYSCREEN) - cy) / 2, cx, cy,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  const DWORD dwNow = m_pfnTickCount();
  m_animator.Start(dwNow);
  Schedule(dwNow);
  return TRUE;
}

void CPreviewDlg::Step(DWORD dwNow) {
  m_animator.Animate(dwNow);
  Repaint();
  Schedule(dwNow);
}

void CPreviewDlg::Schedule(DWORD dwNow) {
  const DWORD dwDelay = m_animator.GetDelay(dwNow);
  // Nothing to animate: the window sleeps in its message loop until the user does something.
  if (dwDelay == CSceneAnimator::kNothingDue) {
    KillTimer(m_hWnd, kAnimationTimer);
    return;
  }
  SetTimer(m_hWnd, kAnimationTimer, std::max<DWORD>(dwDelay, USER_TIMER_MINIMUM), nullptr);
}

void CPreviewDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kAnimationTimer) Step(m_pfnTickCount());
}

void CPreviewDlg::Repaint() {
  for (const CRect& rc : m_canvas.Update()) InvalidateRect(&rc, FALSE);
}

BOOL CPreviewDlg::OnEraseBkgnd(CDC*) { return TRUE; }

void CPreviewDlg::OnPaint() {
  CPaintDC dc(this);
  const CPaletteSelection palette(&dc, &m_canvas.m_palette);
  m_canvas.m_dib.Draw(&dc, 0, 0);
  DrawBubbles(dc);
}

void CPreviewDlg::DrawBubbles(HDC hDC) {
  const CGdiSelection font(hDC, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
  const CGdiSelection pen(hDC, GetStockObject(BLACK_PEN));
  SetBkMode(hDC, TRANSPARENT);
  // From the tail: the head of the list is drawn last, on top.
  const CBubbleList& bubbles = m_pScene->m_bubbles;
  for (POSITION pos = bubbles.GetTailPosition(); pos != nullptr;) {
    const auto* pBubble = static_cast<const CBubble*>(bubbles.GetPrev(pos));
    CRect rc = pBubble->m_rcFirst;
    {
      const CGdiSelection brush(hDC, pBubble->m_brBackground.m_hObject);
      RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, pBubble->m_sizePair.cx, pBubble->m_sizePair.cy);
    }
    SetTextColor(hDC, pBubble->m_crColor);
    InflateRect(&rc, -kBubbleMargin, -kBubbleMargin / 2);
    DrawTextA(hDC, pBubble->m_strText, -1, &rc, DT_WORDBREAK | DT_NOPREFIX | DT_CENTER);
  }
}

void CPreviewDlg::OnLButtonDown(UINT, CPoint point) {
  // The bubbles lie on top of every sprite: a click on one raises it and picks nothing beneath.
  if (CBubble* pBubble = m_pScene->BubbleAt(point)) {
    if (CScene::Raise(pBubble)) InvalidateRect(&pBubble->m_rcFirst, FALSE);
    return;
  }
  m_pDragged = m_pScene->SpriteAt(point);
  if (m_pDragged == nullptr) return;
  if (m_pScene->Raise(m_pDragged)) InvalidateRect(&m_pScene->BubbleOf(m_pDragged)->m_rcFirst, FALSE);
  m_ptGrab = CPoint(point.x - m_pDragged->m_x, point.y - m_pDragged->m_y);
  SetCapture(m_hWnd);
}

void CPreviewDlg::OnMouseMove(UINT nFlags, CPoint point) {
  if (m_pDragged == nullptr || !(nFlags & MK_LBUTTON)) return;
  m_pDragged->SetPosition(CPoint(point.x - m_ptGrab.x, point.y - m_ptGrab.y));
  Repaint();
}

void CPreviewDlg::OnLButtonUp(UINT, CPoint) {
  if (m_pDragged == nullptr) return;
  m_pDragged = nullptr;
  ReleaseCapture();
}

BOOL CPreviewDlg::OnQueryNewPalette() { return AfxRealizePalette(this, &m_canvas.m_palette); }

void CPreviewDlg::OnPaletteChanged(CWnd* pFocusWnd) {
  Default();
  // Our own realisation changed it: realising again would never end.
  if (pFocusWnd == nullptr || pFocusWnd->m_hWnd != m_hWnd) OnQueryNewPalette();
}
