// Any bytes as a bitmap file, read from memory as they are and, when they are SZDD-compressed,
// as they expand.
#include "CDIB.h"
#include "FuzzInput.h"
#include "MemorySource.h"

#include <cstdlib>

namespace {

void Load(const std::uint8_t* data, std::size_t size) {
  CDIB dib;
  MemorySource in(data, size);
  const DIBRefusal refusal = dib.ReadBitmapFromSource(in, 0);
  CheckMemoryRefusal(refusal);
  if (refusal != DIBRefusal::kNone) {
    // A refusal leaves the bitmap made at construction.
    if (dib.GetWidth() != 16 || dib.GetHeight() != 16) std::abort();
    return;
  }
  // Whatever loaded must be addressable in every row, at both ends.
  for (int y = 0; y < dib.GetHeight(); ++y)
    for (const int x : {0, dib.GetWidth() - 1})
      if (BYTE* p = dib.GetPixelAddress(x, y)) *p ^= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Load(data, size);
  static std::vector<std::uint8_t> expanded;
  if (ExpandFuzzInput(data, size, expanded)) Load(expanded.data(), expanded.size());
  return 0;
}
