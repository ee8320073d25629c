#include "BenchSupport.h"

#include <cstdlib>
#include <cstring>

namespace bench {
namespace {

struct TempFolder {
  std::filesystem::path path;
  TempFolder() {
    char pattern[] = "/tmp/kv2-bench-XXXXXX";
    if (const char* made = mkdtemp(pattern)) path = made;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::filesystem::path& ScratchFolder() {
  static const TempFolder folder;
  return folder.path;
}

void MemcpyLoop(benchmark::State& state, void* pOut, const void* pIn, std::size_t n) {
  for (auto _ : state) {
    std::memcpy(pOut, pIn, n);
    benchmark::ClobberMemory();
  }
}

Surface IndexSurfaceOf(const CDIB& dib) {
  Surface s(SDL_CreateRGBSurfaceWithFormat(0, dib.GetWidth(), dib.GetHeight(), 8, SDL_PIXELFORMAT_INDEX8));
  for (int y = 0; y < dib.GetHeight(); ++y)
    std::memcpy(static_cast<BYTE*>(s->pixels) + y * s->pitch, dib.GetPixelAddress(0, y), dib.GetWidth());
  return s;
}

}  // namespace bench
