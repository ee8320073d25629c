#include "CDIB.h"

#include "DIBLayout.h"

#include <cstdint>
#include <cstring>

int CDIB::MapColorsToPalette(CPalette* pPalette) {
  if (m_bMapped) return 1;
  if (pPalette == nullptr || m_pBMI == nullptr) return 0;

  // All 256 indices, whatever the colour count: a pixel may hold any byte.
  RGBQUAD* colors = GetColorTable();
  BYTE translate[dib::kMaxColors];
  for (int i = 0; i < dib::kMaxColors; ++i)
    translate[i] = static_cast<BYTE>(pPalette->GetNearestPaletteIndex(RGB(colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue)));

  // Row padding included: height × stride bytes in one pass, eight at a time, so that one load
  // and one store serve eight lookups.
  const std::int64_t bytes = dib::PixelBytes(m_pBMI->bmiHeader);
  std::int64_t i = 0;
  for (; i + 8 <= bytes; i += 8) {
    std::uint64_t v;
    std::memcpy(&v, m_pBits + i, sizeof v);
    std::uint64_t mapped = 0;
    for (int k = 0; k < 8; ++k) mapped |= std::uint64_t{translate[(v >> (8 * k)) & 0xFF]} << (8 * k);
    std::memcpy(m_pBits + i, &mapped, sizeof mapped);
  }
  for (; i < bytes; ++i) m_pBits[i] = translate[m_pBits[i]];

  // A palette of fewer entries leaves the colours past its end as they were.
  PALETTEENTRY entries[dib::kMaxColors];
  const UINT fetched = pPalette->GetPaletteEntries(0, dib::kMaxColors, entries);
  for (UINT i = 0; i < fetched && i < dib::kMaxColors; ++i) {
    colors[i].rgbBlue = entries[i].peBlue;
    colors[i].rgbGreen = entries[i].peGreen;
    colors[i].rgbRed = entries[i].peRed;
  }
  m_pBMI->bmiHeader.biClrUsed = dib::kMaxColors;
  m_bMapped = TRUE;
  return 1;
}
