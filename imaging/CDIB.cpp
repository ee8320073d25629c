#include "CDIB.h"

#include "CDIBPalette.h"
#include "DIBLayout.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <utility>

IMPLEMENT_SERIAL(CDIB, CObject, 0)

namespace {

// What the queries see when a failed Create left no bitmap: no pixels, no colours.
const BITMAPINFOHEADER kNoHeader{};

const BITMAPINFOHEADER& HeaderOf(const BITMAPINFO* pBMI) { return pBMI ? pBMI->bmiHeader : kNoHeader; }

template <typename T>
T ReadAt(const void* p, std::size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const BYTE*>(p) + offset, sizeof value);
  return value;
}

}  // namespace

CDIB::CDIB() { Create(16, 16); }

CDIB::~CDIB() { Release(); }

void CDIB::Release() {
  dib::Free(m_pBMI);
  m_pBMI = nullptr;
  if (m_bOwnBits) dib::Free(m_pBits);
  m_pBits = nullptr;
}

void CDIB::Install(BITMAPINFO* pBMI, BYTE* pBits, BOOL bOwnBits) {
  Release();
  m_pBMI = pBMI;
  m_pBits = pBits;
  m_bOwnBits = bOwnBits;
}

int CDIB::Create(int nWidth, int nHeight, const char* pszPalette) {
  Release();
  const std::int64_t bytes = nWidth < 0 || nHeight < 0 ? -1 : std::int64_t{nHeight} * dib::Stride(nWidth);
  if (bytes > dib::kMaxPixelBytes) return 0;
  dib::Block block = dib::Allocate(dib::kHeaderBlockBytes);
  dib::Block bits = dib::Allocate(bytes);
  if (!block || !bits) return 0;
  Install(reinterpret_cast<BITMAPINFO*>(block.release()), bits.release(), TRUE);

  BITMAPINFOHEADER& h = m_pBMI->bmiHeader;
  h.biSize = dib::kInfoHeaderBytes;
  h.biWidth = nWidth;
  h.biHeight = nHeight;
  h.biPlanes = 1;
  h.biBitCount = 8;
  // The grey ramp also stands for the entries a palette file does not supply.
  RGBQUAD* table = GetColorTable();
  for (int i = 0; i < dib::kMaxColors; ++i) {
    const BYTE v = static_cast<BYTE>(i);
    table[i] = RGBQUAD{v, v, v, 0};
  }
  if (pszPalette != nullptr) LoadColorTable(pszPalette);
  return 1;
}

int CDIB::AttachMemory(const void* pHeader, BYTE* pBits) {
  // Allocated before the old bitmap goes, so that running out of memory keeps it.
  dib::Block block = dib::Allocate(dib::kHeaderBlockBytes);
  if (!block) return 0;
  const int n = std::min(GetNumColors(pHeader), dib::kMaxColors);
  std::memcpy(block.get(), pHeader, dib::kInfoHeaderBytes + n * sizeof(RGBQUAD));
  Install(reinterpret_cast<BITMAPINFO*>(block.release()), pBits, FALSE);
  return 1;
}

int CDIB::GetNumColors(const void* pHeader) {
  const bool core = ReadAt<DWORD>(pHeader, 0) == dib::kCoreHeaderBytes;
  const WORD bitCount = core ? ReadAt<WORD>(pHeader, offsetof(BITMAPCOREHEADER, bcBitCount))
                             : ReadAt<WORD>(pHeader, offsetof(BITMAPINFOHEADER, biBitCount));
  const DWORD used = core ? 0 : ReadAt<DWORD>(pHeader, offsetof(BITMAPINFOHEADER, biClrUsed));
  const int base = bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? dib::kMaxColors : 0;
  const std::int64_t count = used != 0 ? used : base;
  if (base != 0) return static_cast<int>(std::min<std::int64_t>(count, base));
  return static_cast<int>(std::min<std::int64_t>(count, INT_MAX));
}

int CDIB::GetNumColors() const {
  // The header block holds no more, whatever an adopted header claims.
  return m_pBMI ? std::min(GetNumColors(m_pBMI), dib::kMaxColors) : 0;
}

int CDIB::GetWidth() const { return HeaderOf(m_pBMI).biWidth; }

int CDIB::GetHeight() const { return HeaderOf(m_pBMI).biHeight; }

CRect CDIB::GetRect() const { return CRect(0, 0, GetWidth(), GetHeight()); }

BYTE* CDIB::GetPixelAddress(int x, int y) const {
  const int width = GetWidth();
  const int height = GetHeight();
  if (x < 0 || y < 0 || x >= width || y >= height) return nullptr;
  return m_pBits + static_cast<std::ptrdiff_t>((std::int64_t{height} - 1 - y) * dib::Stride(width) + x);
}

RGBQUAD* CDIB::GetColorTable() const {
  return m_pBMI ? reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(m_pBMI) + dib::kInfoHeaderBytes) : nullptr;
}

int CDIB::Draw(CDC* pDC, int x, int y) {
  if (m_pBMI == nullptr) return 0;
  const int width = GetWidth();
  const int height = GetHeight();
  return ::StretchDIBits(pDC ? pDC->GetSafeHdc() : nullptr, x, y, width, height, 0, 0, width, height, m_pBits,
                         m_pBMI, DIB_RGB_COLORS, SRCCOPY);
}

int CDIB::SetColorTable(int nFirst, int nCount, const PALETTEENTRY* pEntries) {
  RGBQUAD* table = GetColorTable();
  if (table == nullptr) return 0;
  // Entries outside the table are dropped rather than written past the header block.
  for (int i = std::max(0, -nFirst); i < nCount && nFirst + i < dib::kMaxColors; ++i) {
    const PALETTEENTRY& e = pEntries[i];
    table[nFirst + i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, e.peFlags};
  }
  return 0;
}

int CDIB::LoadColorTable(const char* pszPalette) {
  // Entries the palette file does not supply keep their colours.
  PALETTEENTRY entries[dib::kMaxColors] = {};
  if (const RGBQUAD* table = GetColorTable())
    for (int i = 0; i < dib::kMaxColors; ++i)
      entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, table[i].rgbReserved};
  CDIBPalette palette;
  const int result = palette.Load(pszPalette, entries);
  SetColorTable(0, dib::kMaxColors, entries);
  return result;
}

void CDIB::Serialize(CArchive& ar) {
  ar.Flush();
  CFile* pFile = ar.GetFile();
  if (ar.IsStoring()) {
    SaveToFile(pFile, TRUE);
    return;
  }
  // The bitmap starts where the archive stands, which is the file's start only when nothing was
  // archived before it.
  const DWORD position = pFile->GetPosition();
  LoadFromFile(pFile, nullptr, FALSE, std::in_range<long>(position) ? static_cast<long>(position) : -1L);
}
