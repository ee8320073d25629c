#include "AfxRealizePalette.h"

#include "CClientDC.h"
#include "CPaletteSelection.h"

BOOL AfxRealizePalette(CWnd* pWnd, CPalette* pPalette) {
  if (pPalette == nullptr) return FALSE;
  // Mapped afresh after a realisation in the background: the platform may skip realising the
  // palette it realised last, and the window would keep the other palette's nearest colours.
  if (pPalette->m_bMappedInBackground) ::UnrealizeObject(pPalette->GetSafeHandle());
  const HWND hForeground = ::GetForegroundWindow();
  pPalette->m_bMappedInBackground = hForeground != pWnd->m_hWnd && !::IsChild(hForeground, pWnd->m_hWnd);
  {
    CClientDC dc(pWnd);
    const CPaletteSelection palette(&dc, pPalette);
    dc.RealizePalette();
  }
  pWnd->InvalidateRect(nullptr, TRUE);
  return TRUE;
}
