// kv2compress: compresses one file into the SZDD format, for skin authors who ship bitmaps and
// image archives compressed.
#include "SzddCompressor.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kv2compress INPUT OUTPUT\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "kv2compress: cannot open %s\n", argv[1]);
    return 1;
  }
  const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::uint8_t> packed;
  try {
    packed = SzddCompressor().Compress(data.data(), data.size());
  } catch (const std::length_error&) {
    std::fprintf(stderr, "kv2compress: %s is too large\n", argv[1]);
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(packed.size()));
  if (!out.flush()) {
    std::fprintf(stderr, "kv2compress: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
