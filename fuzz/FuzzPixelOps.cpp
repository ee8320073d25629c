// Any bytes as a bitmap file in memory; what loads goes through the pixel operations with
// arguments taken from the same bytes: addressing, block copies onto itself and onto a blank
// bitmap, mapping to a palette, and saving, whose 8-bit file must load again.
#include "CDIB.h"
#include "FuzzInput.h"
#include "MemorySource.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

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

void CopyBlocks(CDIB& source, CDIB& dest, FuzzedDataProvider& args) {
  for (int n = 0; n < 4 && args.remaining_bytes() > 0; ++n) {
    const int x = args.ConsumeIntegral<int>(), y = args.ConsumeIntegral<int>();
    const int w = args.ConsumeIntegral<int>(), h = args.ConsumeIntegral<int>();
    const int sx = args.ConsumeIntegral<int>(), sy = args.ConsumeIntegral<int>();
    const DWORD key = args.ConsumeBool() ? DWORD(0x01000000) | args.ConsumeIntegral<BYTE>() : args.ConsumeIntegral<DWORD>();
    source.CopyBits(&dest, x, y, w, h, sx, sy, key, args.ConsumeIntegral<UINT>());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider args(data, size);
  CDIB dib;
  MemorySource in(data, size);
  if (dib.ReadBitmapFromSource(in, 0) != DIBRefusal::kNone) return 0;
  for (int n = 0; n < 8 && args.remaining_bytes() > 0; ++n)
    if (BYTE* p = dib.GetPixelAddress(args.ConsumeIntegral<int>(), args.ConsumeIntegral<int>())) *p ^= 0x5A;
  CDIB blank;
  if (blank.Create(args.ConsumeIntegralInRange(1, 64), args.ConsumeIntegralInRange(1, 64))) CopyBlocks(dib, blank, args);
  CopyBlocks(dib, dib, args);
  CopyBlocks(blank, dib, args);
  dib.MapColorsToPalette(&FourColours());

  const std::string saved = WriteFuzzInput(nullptr, 0, ".out");
  CFile out;
  if (!out.Open(saved.c_str(), CFile::modeCreate | CFile::modeWrite)) std::abort();
  const int bSaved = dib.SaveToFile(&out, args.ConsumeBool());
  out.Close();
  // What saved loads again, at whatever depth it was loaded.
  if (bSaved) {
    CFile in;
    CDIB again;
    if (!in.Open(saved.c_str(), CFile::modeRead) || !again.LoadFromFile(&in, nullptr, FALSE, 0)) std::abort();
  }
  return 0;
}
