// A logical palette.
#pragma once

#include "CGdiObject.h"

class CPalette : public CGdiObject {
  DECLARE_DYNAMIC(CPalette)

 public:
  operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }

  BOOL CreatePalette(const LOGPALETTE* lpLogPalette) { return Attach(::CreatePalette(lpLogPalette)); }
  UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const {
    return ::GetPaletteEntries(*this, nStartIndex, nNumEntries, lpPaletteColors);
  }
  UINT GetNearestPaletteIndex(COLORREF crColor) const { return ::GetNearestPaletteIndex(*this, crColor); }

  // Whether its last realisation was for a window in the background, so that it holds the nearest
  // of another palette's colours rather than its own.
  bool m_bMappedInBackground = false;
};
