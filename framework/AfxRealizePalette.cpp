#include "AfxRealizePalette.h"

#include "CPaletteSelection.h"

BOOL AfxRealizePalette(CWnd* pWnd, CPalette* pPalette) {
  if (pPalette == nullptr) return FALSE;
  CDC* pDC = pWnd->GetDC();
  {
    const CPaletteSelection palette(pDC, pPalette);
    pDC->RealizePalette();
  }
  pWnd->ReleaseDC(pDC);
  pWnd->InvalidateRect(nullptr, TRUE);
  return TRUE;
}
