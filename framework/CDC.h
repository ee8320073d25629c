// A device context: a view of an HDC that the wrapper does not own.
#pragma once

#include "CObject.h"

class CPalette;

class CDC : public CObject {
  DECLARE_DYNAMIC(CDC)

 public:
  CDC() = default;
  explicit CDC(HDC hDC) : m_hDC(hDC) {}

  // A wrapper for a handle that somebody else owns; it lives until DeleteTempMap.
  static CDC* FromHandle(HDC hDC);
  static void DeleteTempMap();

  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }

  // Returns the palette that was selected before, to select back when done.
  HPALETTE SelectPalette(CPalette* pPalette, BOOL bForceBackground);
  HPALETTE SelectPalette(HPALETTE hPalette, BOOL bForceBackground) {
    return ::SelectPalette(m_hDC, hPalette, bForceBackground);
  }
  UINT RealizePalette() { return ::RealizePalette(m_hDC); }
  int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }

  HDC m_hDC = nullptr;
};
