// What the benchmark families share: inputs made once and checked when first needed, a scratch
// folder for the run, the memcpy limit, and SDL surfaces holding a bitmap's pixels.
#pragma once

#include "CDIB.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstddef>
#include <filesystem>
#include <memory>

namespace bench {

// One T for the whole run, made when a benchmark first asks for it and checked then, so that
// a filter that leaves a family out also leaves out the making of its inputs.
template <class T, void (*Check)(T&)>
T& MadeOnce() {
  static const std::unique_ptr<T> made = [] {
    auto p = std::make_unique<T>();
    Check(*p);
    return p;
  }();
  return *made;
}

// A folder for the run's files, removed when the run ends.
const std::filesystem::path& ScratchFolder();

// n bytes copied with memcpy each iteration: the limit the other rows are measured against.
void MemcpyLoop(benchmark::State& state, void* pOut, const void* pIn, std::size_t n);

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// An 8-bit surface of the bitmap's size holding its pixels, top row first, with a palette of
// its own for the caller to fill or replace.
Surface IndexSurfaceOf(const CDIB& dib);

}  // namespace bench
