// The block copy beside memcpy (the limit) and SDL2's 8-bit blits (the peer), on frames of
// 1024 × 768 and 1023 × 767 (row tails and padding), on sprite-like content (long transparent
// runs) and noisy content (transparency per pixel), and as a batch of small keyed sprites.
#include "BlockCopyBench.h"

#include "BenchSupport.h"
#include "BlockCopy.h"
#include "CDIB.h"
#include "DIBLayout.h"
#include "GoalTable.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace bench {
namespace {

constexpr BYTE kKey = 0;
constexpr COLORREF kKeyColour = 0x01000000 | kKey;
constexpr int kSprites = 20000;
constexpr int kSpriteSize = 32;

enum class Content { Sprite, Noisy };

std::string SizeName(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }
const char* ContentName(Content c) { return c == Content::Sprite ? "sprite" : "noisy"; }

// Sprite-like: blobs of colour on the transparent index, most of each row one long run of it.
// Noisy: every pixel independently transparent one time in four.
void Paint(CDIB& dib, Content content, unsigned seed) {
  std::mt19937 random(seed);
  const int w = dib.GetWidth(), h = dib.GetHeight();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *dib.GetPixelAddress(x, y) = content == Content::Noisy ? random() % 4 : kKey;
  if (content == Content::Noisy) return;
  for (int blob = 0; blob < w * h / 4000; ++blob) {
    const int cx = random() % w, cy = random() % h, r = 4 + random() % 20;
    const BYTE colour = static_cast<BYTE>(1 + random() % 255);
    for (int y = std::max(0, cy - r); y < std::min(h, cy + r); ++y)
      for (int x = std::max(0, cx - r); x < std::min(w, cx + r); ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r) *dib.GetPixelAddress(x, y) = colour;
  }
}

// Counted by SDL: each surface holds a reference, and the last one to go frees it.
SDL_Palette* SharedPalette() {
  static const std::unique_ptr<SDL_Palette, void (*)(SDL_Palette*)> palette(
      [] {
        SDL_Palette* p = SDL_AllocPalette(256);
        SDL_Color colours[256];
        for (int i = 0; i < 256; ++i) colours[i] = {BYTE(i), BYTE(255 - i), BYTE(i / 2), 255};
        SDL_SetPaletteColors(p, colours, 0, 256);
        return p;
      }(),
      SDL_FreePalette);
  return palette.get();
}

// An 8-bit surface in the shared palette holding the bitmap's pixels.
Surface SurfaceOf(const CDIB& dib) {
  Surface s = IndexSurfaceOf(dib);
  SDL_SetSurfacePalette(s.get(), SharedPalette());
  return s;
}

bool SamePixels(const CDIB& dib, const SDL_Surface* s) {
  for (int y = 0; y < dib.GetHeight(); ++y)
    if (std::memcmp(static_cast<const BYTE*>(s->pixels) + y * s->pitch, dib.GetPixelAddress(0, y), dib.GetWidth()))
      return false;
  return true;
}

bool SamePixels(const CDIB& a, const CDIB& b) {
  for (int y = 0; y < a.GetHeight(); ++y)
    if (std::memcmp(a.GetPixelAddress(0, y), b.GetPixelAddress(0, y), a.GetWidth())) return false;
  return true;
}

void Check(bool same, const std::string& what) {
  if (!same) ReportMismatch(what);
}

// One frame: the source content and a destination, as bitmaps and as SDL surfaces.
struct Frame {
  CDIB src, dest;
  Surface sdlSrc, sdlDest;
  Frame(int w, int h, Content content) {
    src.Create(w, h);
    dest.Create(w, h);
    Paint(src, content, 1);
    Paint(dest, Content::Noisy, 2);
    sdlSrc = SurfaceOf(src);
    sdlDest = SurfaceOf(dest);
  }
};

void CheckFrames(int w, int h);

// The frames are made, and their outputs checked, when a benchmark first needs them.
Frame& FrameFor(int w, int h, Content content) {
  static std::map<std::string, std::unique_ptr<Frame>> frames;
  static std::set<std::string> checked;
  std::unique_ptr<Frame>& frame = frames[SizeName(w, h) + ContentName(content)];
  if (!frame) frame = std::make_unique<Frame>(w, h, content);
  if (checked.insert(SizeName(w, h)).second) CheckFrames(w, h);
  return *frame;
}

void RegisterLimits(int w, int h) {
  const std::size_t stride = static_cast<std::size_t>(dib::Stride(w));
  benchmark::RegisterBenchmark(("memcpy/frame/" + SizeName(w, h)).c_str(), [=](benchmark::State& state) {
    std::vector<BYTE> rows(stride * h), out(stride * h);
    MemcpyLoop(state, out.data(), rows.data(), stride * h);
  });
  benchmark::RegisterBenchmark(("memcpy/rows/" + SizeName(w, h)).c_str(), [=](benchmark::State& state) {
    std::vector<BYTE> rows(stride * h), out(stride * h);
    for (auto _ : state) {
      for (int y = 0; y < h; ++y) std::memcpy(out.data() + y * stride, rows.data() + y * stride, w);
      benchmark::ClobberMemory();
    }
  });
}

// The whole frame through CopyBits; checked once against the scalar path or the peer's pixels.
std::string RegisterOurs(int w, int h, Content content, const std::string& what, COLORREF key, UINT flags) {
  const std::string name = "copy/" + what + "/" + ContentName(content) + "/" + SizeName(w, h);
  benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
    Frame& f = FrameFor(w, h, content);
    for (auto _ : state) {
      f.src.CopyBits(&f.dest, 0, 0, w, h, 0, 0, key, flags);
      benchmark::ClobberMemory();
    }
  });
  return name;
}

std::string RegisterPeer(int w, int h, Content content, const std::string& what, bool keyed, bool rle) {
  const std::string name = "sdl/" + what + "/" + ContentName(content) + "/" + SizeName(w, h);
  benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
    Frame& f = FrameFor(w, h, content);
    // RLE takes the surface over, so it works on a surface of its own.
    Surface src = SurfaceOf(f.src);
    SDL_SetColorKey(src.get(), keyed ? SDL_TRUE : SDL_FALSE, kKey);
    SDL_SetSurfaceRLE(src.get(), rle ? 1 : 0);
    for (auto _ : state) {
      SDL_BlitSurface(src.get(), nullptr, f.sdlDest.get(), nullptr);
      benchmark::ClobberMemory();
    }
  });
  return name;
}

// Ours against the peer on the same frame, and every variant against the scalar path.
void CheckFrames(int w, int h) {
  for (Content content : {Content::Sprite, Content::Noisy}) {
    Frame& f = FrameFor(w, h, content);
    for (const auto& [keyed, rle] : {std::pair{false, false}, {true, false}, {true, true}}) {
      Surface src = SurfaceOf(f.src), dest = SurfaceOf(f.dest);
      SDL_SetColorKey(src.get(), keyed, kKey);
      SDL_SetSurfaceRLE(src.get(), rle);
      SDL_BlitSurface(src.get(), nullptr, dest.get(), nullptr);
      Frame mine(w, h, content);
      mine.src.CopyBits(&mine.dest, 0, 0, w, h, 0, 0, keyed ? kKeyColour : DRAW_NO_TRANSPARENT, 0);
      Check(SamePixels(mine.dest, dest.get()), "CopyBits against SDL");
    }
    for (UINT flags : {0x000u, 0x100u, 0x200u, 0x300u, 0x001u, 0x002u, 0x004u, 0x008u}) {
      for (COLORREF key : {DRAW_NO_TRANSPARENT, kKeyColour}) {
        Frame fast(w, h, content), scalar(w, h, content);
        fast.src.CopyBits(&fast.dest, 0, 0, w, h, 0, 0, key, flags);
        blockcopy::UseIsa(blockcopy::Isa::Scalar);
        scalar.src.CopyBits(&scalar.dest, 0, 0, w, h, 0, 0, key, flags);
        blockcopy::UseBestIsa();
        Check(SamePixels(fast.dest, scalar.dest), "CopyBits against its scalar path");
      }
    }
  }
}

void RegisterFrame(int w, int h) {
  RegisterLimits(w, h);
  // Whole frames are the limit for the even size; the odd one is copied row by row anyway.
  const std::string limit = (w % 4 ? "memcpy/rows/" : "memcpy/frame/") + SizeName(w, h);
  const COLORREF none = DRAW_NO_TRANSPARENT;
  const Content sprite = Content::Sprite, noisy = Content::Noisy;
  const std::string sdlOpaque = RegisterPeer(w, h, sprite, "opaque", false, false);
  for (const auto& [what, flags] : {std::pair{"opaque", 0u}, {"opaque-mirror-y", DRAW_MIRROR_Y}}) {
    const std::string ours = RegisterOurs(w, h, sprite, what, none, flags);
    AddGoal(ours, limit, 0.65);
    // That blit already runs at the speed of memory: the goal is to keep up with it.
    AddGoal(ours, sdlOpaque, 1.0);
  }
  AddGoal(RegisterOurs(w, h, sprite, "opaque-mirror-x", none, DRAW_MIRROR_X), limit, 0.5);
  AddGoal(RegisterOurs(w, h, sprite, "opaque-mirror-xy", none, DRAW_MIRROR_X | DRAW_MIRROR_Y), limit, 0.5);
  for (Content content : {sprite, noisy}) {
    const std::string keyed = RegisterOurs(w, h, content, "keyed", kKeyColour, 0);
    AddGoal(keyed, limit, 0.5);
    AddGoal(keyed, RegisterPeer(w, h, content, "keyed", true, false), content == sprite ? 8 : 30);
    if (content == sprite)
      AddReported(keyed, RegisterPeer(w, h, content, "keyed-rle", true, true),
                  "no goal: it reads only the opaque runs it encoded beforehand, a copy from raw pixels reads them all");
    AddGoal(RegisterOurs(w, h, content, "keyed-mirror-x", kKeyColour, DRAW_MIRROR_X), limit, 0.5);
  }
  for (UINT mode : {1u, 2u, 4u, 8u})
    AddGoal(RegisterOurs(w, h, sprite, "dissolve-" + std::to_string(mode), kKeyColour, mode), limit, 0.4);
}

// Many small keyed sprites over a frame: the cost of a call as much as of its pixels.
struct SpriteBatch {
  CDIB sprite, ours;
  Surface sdlSprite, sdlFrame;
  std::vector<SDL_Rect> places;
  SpriteBatch() {
    sprite.Create(kSpriteSize, kSpriteSize);
    Paint(sprite, Content::Noisy, 3);
    ours.Create(1024, 768);
    sdlSprite = SurfaceOf(sprite);
    sdlFrame = SurfaceOf(ours);
    SDL_SetColorKey(sdlSprite.get(), SDL_TRUE, kKey);
    std::mt19937 random(4);
    for (int i = 0; i < kSprites; ++i)
      places.push_back({int(random() % (1024 - kSpriteSize)), int(random() % (768 - kSpriteSize)), 0, 0});
  }
  void DrawOurs() {
    for (const SDL_Rect& p : places)
      sprite.CopyBits(&ours, p.x, p.y, kSpriteSize, kSpriteSize, 0, 0, kKeyColour, 0x1000);
  }
  void DrawPeer() {
    for (SDL_Rect p : places) SDL_BlitSurface(sdlSprite.get(), nullptr, sdlFrame.get(), &p);
  }
};

void CheckBatch(SpriteBatch& b) {
  b.DrawOurs();
  b.DrawPeer();
  Check(SamePixels(b.ours, b.sdlFrame.get()), "the sprite batch");
}

SpriteBatch& Batch() { return MadeOnce<SpriteBatch, CheckBatch>(); }

void RegisterSpriteBatch() {
  const std::string size = std::to_string(kSprites) + "x" + SizeName(kSpriteSize, kSpriteSize);
  const std::string ours = "copy/sprites/" + size, peer = "sdl/sprites/" + size;
  benchmark::RegisterBenchmark(ours.c_str(), [](benchmark::State& state) {
    SpriteBatch& batch = Batch();
    for (auto _ : state) batch.DrawOurs();
  });
  benchmark::RegisterBenchmark(peer.c_str(), [](benchmark::State& state) {
    SpriteBatch& batch = Batch();
    for (auto _ : state) batch.DrawPeer();
  });
  AddGoal(ours, peer, 4);
}

}  // namespace

void RegisterBlockCopyBenchmarks() {
  for (const auto& [w, h] : {std::pair{1024, 768}, {1023, 767}}) RegisterFrame(w, h);
  RegisterSpriteBatch();
}

}  // namespace bench
