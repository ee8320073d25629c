// Any bytes as a bitmap file, plain and through the expansion reader, and as an archived CDIB.
#include "CDIB.h"
#include "FuzzInput.h"

namespace {

CPalette& FourColours() {
  static CPalette palette;
  if (palette.GetSafeHandle() == nullptr) {
    struct {
      WORD version, count;
      PALETTEENTRY entries[4];
    } record{0x300, 4, {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}}};
    palette.CreatePalette(reinterpret_cast<const LOGPALETTE*>(&record));
  }
  return palette;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteFuzzInput(data, size, ".bmp");
  CFile file;
  if (!file.Open(path.c_str(), CFile::modeRead)) return 0;
  for (const BOOL compressed : {FALSE, TRUE}) {
    CDIB dib;
    if (!dib.LoadFromFile(&file, nullptr, compressed, 0)) continue;
    // Whatever loaded must be safe for every pixel operation.
    for (int y = 0; y < dib.GetHeight(); y += 7)
      for (int x = 0; x < dib.GetWidth(); x += 5)
        if (BYTE* p = dib.GetPixelAddress(x, y)) *p ^= 1;
    dib.MapColorsToPalette(&FourColours());
  }
  try {
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CDIB dib;
    dib.Serialize(ar);
  } catch (const CException&) {
  }
  return 0;
}
