// A palette selected into a device context as a foreground palette for the life of a scope;
// the palette it replaced goes back in when the scope ends. A null palette selects nothing.
#pragma once

#include "CDC.h"
#include "CPalette.h"

class CPaletteSelection {
 public:
  CPaletteSelection(CDC* pDC, CPalette* pPalette)
      : m_pDC(pDC), m_hOld(pPalette != nullptr ? pDC->SelectPalette(pPalette, FALSE) : nullptr) {}
  ~CPaletteSelection() {
    if (m_hOld != nullptr) m_pDC->SelectPalette(m_hOld, FALSE);
  }
  CPaletteSelection(const CPaletteSelection&) = delete;
  CPaletteSelection& operator=(const CPaletteSelection&) = delete;

 private:
  CDC* m_pDC;
  HPALETTE m_hOld;
};
