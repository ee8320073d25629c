#include "AfxRealizePalette.h"

#include "CClientDC.h"
#include "CPaletteSelection.h"

BOOL AfxRealizePalette(CWnd* pWnd, CPalette* pPalette) {
  if (pPalette == nullptr) return FALSE;
  {
    CClientDC dc(pWnd);
    const CPaletteSelection palette(&dc, pPalette);
    dc.RealizePalette();
  }
  pWnd->InvalidateRect(nullptr, TRUE);
  return TRUE;
}
