// Any bytes as a bitmap file, read plainly and through the expansion reader, and the same bytes
// compressed as a whole read through the expansion reader.
#include "CDIB.h"
#include "FuzzInput.h"

#include <cstdlib>

namespace {

void LoadEveryWay(const std::string& path) {
  CFile file;
  if (!file.Open(path.c_str(), CFile::modeRead)) std::abort();
  for (const BOOL compressed : {FALSE, TRUE}) {
    CDIB dib;
    if (!dib.LoadFromFile(&file, nullptr, compressed, 0)) continue;
    // Whatever loaded must be addressable in every row, at both ends.
    for (int y = 0; y < dib.GetHeight(); ++y)
      for (const int x : {0, dib.GetWidth() - 1})
        if (BYTE* p = dib.GetPixelAddress(x, y)) *p ^= 1;
  }
  file.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LoadEveryWay(WriteFuzzInput(data, size, ".bmp"));
  LoadEveryWay(WriteFuzzInput(CompressedFuzzInput(data, size), ".bm_"));
  return 0;
}
