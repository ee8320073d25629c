// Remapping a bitmap to a palette beside memcpy and SDL2's 8-bit blit between surfaces of
// different palettes (the same work: 256 nearest-colour queries and a table walk), and loading
// the last member of a large image archive beside loading the same bitmap from its own file.
#include "ImagingBench.h"

#include "CDIB.h"
#include "CDIBPalette.h"
#include "DIBLayout.h"
#include "GoalTable.h"
#include "KdsArchive.h"
#include "SzddCompressor.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace bench {
namespace {

int MapSize() { return IsSmokeRun() ? 512 : 4096; }
int Members() { return IsSmokeRun() ? 100 : 1000; }

// A colour table of its own for the bitmap, and another for the palette it is mapped to.
void FillColours(CDIB& dib, unsigned seed) {
  std::mt19937 random(seed);
  RGBQUAD* table = dib.GetColorTable();
  for (int i = 0; i < dib::kMaxColors; ++i)
    table[i] = RGBQUAD{BYTE(random()), BYTE(random()), BYTE(random()), 0};
}

struct Remap {
  CDIB dib;
  CDIB other;
  CDIBPalette palette;
  SDL_Surface* sdlSrc = nullptr;
  SDL_Surface* sdlDest = nullptr;
  std::vector<SDL_Color> destColours;
  Remap() {
    dib.Create(MapSize(), MapSize());
    other.Create(16, 16);
    FillColours(dib, 1);
    FillColours(other, 2);
    std::mt19937 random(3);
    for (int y = 0; y < MapSize(); ++y)
      for (int x = 0; x < MapSize(); ++x) *dib.GetPixelAddress(x, y) = static_cast<BYTE>(random());
    palette.Create(&other);
    sdlSrc = SDL_CreateRGBSurfaceWithFormat(0, MapSize(), MapSize(), 8, SDL_PIXELFORMAT_INDEX8);
    sdlDest = SDL_CreateRGBSurfaceWithFormat(0, MapSize(), MapSize(), 8, SDL_PIXELFORMAT_INDEX8);
    std::vector<SDL_Color> srcColours;
    for (int i = 0; i < 256; ++i) {
      const RGBQUAD s = dib.GetColorTable()[i], d = other.GetColorTable()[i];
      srcColours.push_back({s.rgbRed, s.rgbGreen, s.rgbBlue, 255});
      destColours.push_back({d.rgbRed, d.rgbGreen, d.rgbBlue, 255});
    }
    SDL_SetPaletteColors(sdlSrc->format->palette, srcColours.data(), 0, 256);
    SDL_SetPaletteColors(sdlDest->format->palette, destColours.data(), 0, 256);
    for (int y = 0; y < MapSize(); ++y)
      std::memcpy(static_cast<BYTE*>(sdlSrc->pixels) + y * sdlSrc->pitch, dib.GetPixelAddress(0, y), MapSize());
  }
  ~Remap() {
    SDL_FreeSurface(sdlSrc);
    SDL_FreeSurface(sdlDest);
  }
  Remap(const Remap&) = delete;
  Remap& operator=(const Remap&) = delete;
  void MapOurs() {
    dib.m_bMapped = FALSE;  // the same work again: the queries and the walk
    dib.MapColorsToPalette(&palette);
  }
  void MapPeer() {
    // Setting the colours again makes SDL build its colour map anew, as a first blit does.
    SDL_SetPaletteColors(sdlDest->format->palette, destColours.data(), 0, 256);
    SDL_BlitSurface(sdlSrc, nullptr, sdlDest, nullptr);
  }
};

void CheckRemap(Remap& r);

Remap& TheRemap() {
  static const std::unique_ptr<Remap> remap = [] {
    auto r = std::make_unique<Remap>();
    CheckRemap(*r);
    return r;
  }();
  return *remap;
}

void CheckRemap(Remap& r) {
  CDIB copy;
  copy.Create(MapSize(), MapSize());
  std::memcpy(copy.m_pBits, r.dib.m_pBits, std::size_t(MapSize()) * MapSize());
  std::memcpy(copy.GetColorTable(), r.dib.GetColorTable(), 256 * sizeof(RGBQUAD));
  copy.MapColorsToPalette(&r.palette);
  r.MapPeer();
  // Both pick the nearest colour; where two are equally near they may pick different ones, so
  // the colours are compared, not the indices.
  for (int y = 0; y < MapSize(); ++y)
    for (int x = 0; x < MapSize(); ++x) {
      const RGBQUAD ours = copy.GetColorTable()[*copy.GetPixelAddress(x, y)];
      const SDL_Color peer = r.destColours[static_cast<BYTE*>(r.sdlDest->pixels)[y * r.sdlDest->pitch + x]];
      if (ours.rgbRed != peer.r || ours.rgbGreen != peer.g || ours.rgbBlue != peer.b)
        return ReportMismatch("remapping at (" + std::to_string(x) + ", " + std::to_string(y) + ")");
    }
}

void RegisterRemap() {
  const std::string size = std::to_string(MapSize()) + "x" + std::to_string(MapSize());
  const std::size_t bytes = std::size_t(MapSize()) * MapSize();
  const std::string ours = "map/colors/" + size, peer = "sdl/remap/" + size, limit = "memcpy/frame/" + size;
  benchmark::RegisterBenchmark(ours.c_str(), [](benchmark::State& state) {
    Remap& r = TheRemap();
    for (auto _ : state) r.MapOurs();
  });
  benchmark::RegisterBenchmark(peer.c_str(), [](benchmark::State& state) {
    Remap& r = TheRemap();
    for (auto _ : state) r.MapPeer();
  });
  benchmark::RegisterBenchmark(limit.c_str(), [bytes](benchmark::State& state) {
    auto out = std::make_unique<BYTE[]>(bytes);
    const BYTE* pixels = TheRemap().dib.m_pBits;
    for (auto _ : state) {
      std::memcpy(out.get(), pixels, bytes);
      benchmark::ClobberMemory();
    }
  });
  benchmark::RegisterBenchmark("map/queries/256", [](benchmark::State& state) {
    Remap& r = TheRemap();
    for (auto _ : state)
      for (int i = 0; i < 256; ++i) {
        const RGBQUAD c = r.dib.GetColorTable()[i];
        benchmark::DoNotOptimize(r.palette.GetNearestPaletteIndex(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue)));
      }
  });
  AddGoal(ours, peer, 1.0);
  AddGoal(ours, limit, 0);
  AddLimit("map/queries/256", 100e3);
}

std::string MemberName(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "M%04d.bmp", i);
  return name;
}

// The archive holds 1000 bitmaps of 64 × 64; the last one is also a file of its own.
struct Archives {
  std::filesystem::path folder;
  std::string plain, compressed, bare;
  Archives() {
    char pattern[] = "/tmp/kv2-bench-kds-XXXXXX";
    folder = mkdtemp(pattern);
    std::vector<KdsArchive::Member> members;
    for (int i = 0; i < Members(); ++i) {
      CDIB dib;
      dib.Create(64, 64);
      std::memset(dib.m_pBits, i & 0xFF, 64 * 64);
      const std::string path = (folder / "member.bmp").string();
      CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
      dib.SaveToFile(&file, TRUE);
      file.Close();
      Bytes bytes;
      bool unused = false;
      std::string error;
      ReadFileBytes(path, false, bytes, unused, error);
      members.push_back({MemberName(i), bytes});
    }
    Bytes archive;
    std::string error;
    KdsArchive::Build(members, archive, error);
    plain = (folder / "plain").string();
    compressed = (folder / "packed").string();
    bare = (folder / MemberName(Members() - 1)).string();
    WriteFileAtomically(plain + ".kds", archive, error);
    const auto packed = SzddCompressor().Compress(archive.data(), archive.size());
    WriteFileAtomically(compressed + ".kds", Bytes(packed.begin(), packed.end()), error);
    WriteFileAtomically(bare, members.back().bytes, error);
  }
  ~Archives() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

void CheckArchives(const Archives& a);

Archives& TheArchives() {
  static const std::unique_ptr<Archives> archives = [] {
    auto a = std::make_unique<Archives>();
    CheckArchives(*a);
    return a;
  }();
  return *archives;
}

// The member to load, by the archive's path: plain, compressed, or the bare file.
std::string PathOf(const std::string& which) {
  const Archives& a = TheArchives();
  const std::string last = "|" + MemberName(Members() - 1);
  return which == "plain" ? a.plain + last : which == "compressed" ? a.compressed + last : a.bare;
}

void RegisterLoad(const std::string& name, const std::string& which) {
  benchmark::RegisterBenchmark(name.c_str(), [which](benchmark::State& state) {
    const std::string path = PathOf(which);
    CDIB dib;
    for (auto _ : state)
      if (!dib.Load(path.c_str())) state.SkipWithError(("cannot load " + path).c_str());
  });
}

void CheckArchives(const Archives& a) {
  const std::string last = "|" + MemberName(Members() - 1);
  for (const std::string& path : {a.plain + last, a.compressed + last, a.bare}) {
    CDIB dib;
    if (!dib.Load(path.c_str()) || *dib.GetPixelAddress(0, 0) != ((Members() - 1) & 0xFF))
      ReportMismatch("loading " + path + " as the last member");
  }
}

void RegisterArchiveLoads() {
  RegisterLoad("load/archive-last/plain", "plain");
  RegisterLoad("load/archive-last/compressed", "compressed");
  RegisterLoad("load/file", "bare");
  // Within 1.5 × the bare file.
  AddGoal("load/archive-last/plain", "load/file", 1 / 1.5);
  AddGoal("load/archive-last/compressed", "load/file", 0);
}

}  // namespace

void RegisterImagingBenchmarks() {
  RegisterRemap();
  RegisterArchiveLoads();
}

}  // namespace bench
