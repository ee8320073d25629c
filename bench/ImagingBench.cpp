// Remapping a bitmap to a palette beside memcpy and SDL2's 8-bit blit between surfaces of
// different palettes (the same work: 256 nearest-colour queries and a table walk), and loading
// the last member of a large image archive beside loading the same bitmap from its own file.
#include "ImagingBench.h"

#include "BenchSupport.h"
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
  Surface sdlSrc, sdlDest;
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
    sdlSrc = IndexSurfaceOf(dib);
    sdlDest = IndexSurfaceOf(dib);
    std::vector<SDL_Color> srcColours;
    for (int i = 0; i < 256; ++i) {
      const RGBQUAD s = dib.GetColorTable()[i], d = other.GetColorTable()[i];
      srcColours.push_back({s.rgbRed, s.rgbGreen, s.rgbBlue, 255});
      destColours.push_back({d.rgbRed, d.rgbGreen, d.rgbBlue, 255});
    }
    SDL_SetPaletteColors(sdlSrc->format->palette, srcColours.data(), 0, 256);
    SDL_SetPaletteColors(sdlDest->format->palette, destColours.data(), 0, 256);
  }
  void MapOurs() {
    dib.m_bMapped = FALSE;  // the same work again: the queries and the walk
    dib.MapColorsToPalette(&palette);
  }
  void MapPeer() {
    // Setting the colours again makes SDL build its colour map anew, as a first blit does.
    SDL_SetPaletteColors(sdlDest->format->palette, destColours.data(), 0, 256);
    SDL_BlitSurface(sdlSrc.get(), nullptr, sdlDest.get(), nullptr);
  }
};

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

Remap& TheRemap() { return MadeOnce<Remap, CheckRemap>(); }

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
    MemcpyLoop(state, out.get(), TheRemap().dib.m_pBits, bytes);
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

// The archive holds 1000 bitmaps of 64 × 64; the last one is also a file of its own. The
// names load that last member from the plain archive, the compressed one and its own file.
struct Archives {
  std::string plain, compressed, bare;
  Archives() {
    const std::filesystem::path folder = ScratchFolder() / "kds";
    std::filesystem::create_directories(folder);
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
    const std::string last = MemberName(Members() - 1);
    WriteFileAtomically((folder / "plain.kds").string(), archive, error);
    const auto packed = SzddCompressor().Compress(archive.data(), archive.size());
    WriteFileAtomically((folder / "packed.kds").string(), Bytes(packed.begin(), packed.end()), error);
    WriteFileAtomically((folder / last).string(), members.back().bytes, error);
    plain = (folder / "plain").string() + "|" + last;
    compressed = (folder / "packed").string() + "|" + last;
    bare = (folder / last).string();
  }
};

void CheckArchives(Archives& a) {
  for (const std::string& path : {a.plain, a.compressed, a.bare}) {
    CDIB dib;
    if (!dib.Load(path.c_str()) || *dib.GetPixelAddress(0, 0) != ((Members() - 1) & 0xFF))
      ReportMismatch("loading " + path + " as the last member");
  }
}

void RegisterLoad(const std::string& name, std::string Archives::*pPath) {
  benchmark::RegisterBenchmark(name.c_str(), [pPath](benchmark::State& state) {
    const std::string& path = MadeOnce<Archives, CheckArchives>().*pPath;
    CDIB dib;
    for (auto _ : state)
      if (!dib.Load(path.c_str())) state.SkipWithError(("cannot load " + path).c_str());
  });
}

void RegisterArchiveLoads() {
  RegisterLoad("load/archive-last/plain", &Archives::plain);
  RegisterLoad("load/archive-last/compressed", &Archives::compressed);
  RegisterLoad("load/file", &Archives::bare);
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
