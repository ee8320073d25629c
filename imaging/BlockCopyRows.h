// The row loops of the block copy, written once over an instruction set's vector operations.
//
// Included by one source file per instruction set, each compiled for that set. Everything here
// has internal linkage, so the copies built with different instruction sets never merge.
#pragma once

#include "BlockCopy.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace blockcopy {
namespace {

// Which columns a dissolve pattern draws on the block's row k (counted from its top source
// row): bit q set draws the columns whose distance c from the block's right edge has c mod 4 = q.
template <int kMode>
constexpr unsigned DrawnColumns(int k) {
  const unsigned r = static_cast<unsigned>(k);
  if constexpr (kMode == 0) {
    return 0xF;
  } else if constexpr (kMode == 1) {
    constexpr unsigned skipped[4] = {0, 2, 1, 3};
    return 0xF & ~(1u << skipped[r & 3]);
  } else if constexpr (kMode == 2) {
    return r & 1 ? 0xA : 0x5;
  } else if constexpr (kMode == 8) {
    return r & 3 ? 0 : 0x1;
  } else {
    return r & 1 ? 0 : 0x5;
  }
}

constexpr int kModes[kPatternCount] = {0, 1, 2, 4, 8};
static_assert(PatternSlot(0) == 0 && PatternSlot(1) == 1 && PatternSlot(2) == 2 && PatternSlot(4) == 3 &&
              PatternSlot(8) == 4);

template <bool kMirrorX>
inline BYTE SourcePixel(const BYTE* pSrc, int j) {
  return kMirrorX ? pSrc[-j] : pSrc[j];
}

// One row a pixel at a time: rows narrower than a vector, or all rows without vectors.
template <bool kKeyed, bool kMirrorX>
inline void RowPixels(const BYTE* pSrc, BYTE* pDest, int w, BYTE key, unsigned drawn) {
  for (int j = 0; j < w; ++j) {
    const BYTE v = SourcePixel<kMirrorX>(pSrc, j);
    if (!kKeyed || (((drawn >> ((w - 1 - j) & 3)) & 1) && v != key)) pDest[j] = v;
  }
}

// The pattern's lanes for a vector whose first pixel lies `remaining` pixels from the row's
// right end: lane l is drawn when bit (remaining - 1 - l) mod 4 of `drawn` is set.
template <class V>
inline typename V::Vec PatternLanes(unsigned drawn, int remaining) {
  unsigned lanes = 0;
  for (int l = 0; l < 4; ++l)
    if ((drawn >> ((remaining - 1 - l) & 3)) & 1) lanes |= 0xFFu << (8 * l);
  return V::Splat32(lanes);
}

// One vector of the row at pixel j.
template <class V, bool kKeyed, bool kMirrorX>
inline void Step(const BYTE* pSrc, BYTE* pDest, int j, typename V::Vec keys, typename V::Vec pattern) {
  constexpr int n = V::kLanes;
  const typename V::Vec v = kMirrorX ? V::Reverse(V::Load(pSrc - j - (n - 1))) : V::Load(pSrc + j);
  if constexpr (!kKeyed) {
    V::Store(pDest + j, v);
  } else {
    const typename V::Vec take = V::AndNot(V::Equal(v, keys), pattern);
    const unsigned mask = V::MoveMask(take);
    if (mask == 0) return;
    V::Store(pDest + j, mask == V::kAllLanes ? v : V::Select(take, v, V::Load(pDest + j)));
  }
}

// Two vectors at pixel j, with one test for the common case of sprites: both wholly transparent.
template <class V, bool kKeyed, bool kMirrorX>
inline void Pair(const BYTE* pSrc, BYTE* pDest, int j, typename V::Vec keys, typename V::Vec pattern) {
  constexpr int n = V::kLanes;
  if constexpr (!kKeyed) {
    Step<V, false, kMirrorX>(pSrc, pDest, j, keys, pattern);
    Step<V, false, kMirrorX>(pSrc, pDest, j + n, keys, pattern);
  } else {
    const typename V::Vec v0 = kMirrorX ? V::Reverse(V::Load(pSrc - j - (n - 1))) : V::Load(pSrc + j);
    const typename V::Vec v1 = kMirrorX ? V::Reverse(V::Load(pSrc - j - (2 * n - 1))) : V::Load(pSrc + j + n);
    const typename V::Vec take0 = V::AndNot(V::Equal(v0, keys), pattern);
    const typename V::Vec take1 = V::AndNot(V::Equal(v1, keys), pattern);
    if (V::MoveMask(V::Or(take0, take1)) == 0) return;
    V::Store(pDest + j, V::Select(take0, v0, V::Load(pDest + j)));
    V::Store(pDest + j + n, V::Select(take1, v1, V::Load(pDest + j + n)));
  }
}

template <class V, bool kKeyed, bool kMirrorX>
inline void Row(const BYTE* pSrc, BYTE* pDest, int w, BYTE key, unsigned drawn) {
  if constexpr (V::kLanes > 1) {
    constexpr int n = V::kLanes;
    if (w >= n) {
      const typename V::Vec keys = V::Splat(key);
      // Vectors start at multiples of 4 from the row's left end, so one pattern serves them all.
      const typename V::Vec pattern = PatternLanes<V>(drawn, w);
      int j = 0;
      for (; j + 2 * n <= w; j += 2 * n) Pair<V, kKeyed, kMirrorX>(pSrc, pDest, j, keys, pattern);
      for (; j + n <= w; j += n) Step<V, kKeyed, kMirrorX>(pSrc, pDest, j, keys, pattern);
      // The tail is one more vector, ending at the row's end: drawing a pixel twice from the
      // same source pixel leaves what drawing it once does.
      if (j < w) Step<V, kKeyed, kMirrorX>(pSrc, pDest, w - n, keys, PatternLanes<V>(drawn, n));
      return;
    }
  }
  RowPixels<kKeyed, kMirrorX>(pSrc, pDest, w, key, drawn);
}

// An opaque row of a large block: streaming stores skip reading the destination's lines before
// writing them and leave the cache to the source. They fill whole lines only, as a line written
// partly by them and partly by ordinary stores is slow to leave the write buffers; the bytes
// before the row's first whole line and after its last are copied as rows of their own.
constexpr int kLineBytes = 64;

template <bool kMirrorX>
inline void CopyPixels(const BYTE* pSrc, BYTE* pDest, int w) {
  if constexpr (kMirrorX)
    RowPixels<false, true>(pSrc, pDest, w, 0, 0);
  else
    std::memcpy(pDest, pSrc, static_cast<std::size_t>(w));
}

template <class V, bool kMirrorX>
inline void StreamRow(const BYTE* pSrc, BYTE* pDest, int w) {
  const int head = static_cast<int>(-reinterpret_cast<std::uintptr_t>(pDest) % kLineBytes);
  if (w < head + kLineBytes) return CopyPixels<kMirrorX>(pSrc, pDest, w);
  CopyPixels<kMirrorX>(pSrc, pDest, head);
  int j = head;
  for (; j + kLineBytes <= w; j += kLineBytes)
    for (int q = j; q < j + kLineBytes; q += V::kLanes)
      V::Stream(pDest + q, kMirrorX ? V::Reverse(V::Load(pSrc - q - (V::kLanes - 1))) : V::Load(pSrc + q));
  CopyPixels<kMirrorX>(kMirrorX ? pSrc - j : pSrc + j, pDest + j, w - j);
}

// From this many bytes on, an opaque block is copied with streaming stores: it would push
// most of what the cache holds out anyway.
constexpr std::size_t kStreamBytes = 256 << 10;

template <class V, bool kKeyed, bool kMirrorX, int kMode>
void Block(const BlitState& s) {
  const BYTE* pSrc = s.pSrc;
  BYTE* pDest = s.pDest;
  if constexpr (!kKeyed && V::kLanes > 1) {
    if (std::size_t(s.nWidth) * std::size_t(s.nHeight) >= kStreamBytes) {
      // Rows that follow one another in both bitmaps are one long row (the block's bytes fit
      // an int, as a bitmap's do).
      const bool joined = !kMirrorX && s.srcStep == s.nWidth && s.destStep == s.nWidth;
      const int rows = joined ? 1 : s.nHeight;
      const int width = joined ? s.nWidth * s.nHeight : s.nWidth;
      for (int k = 0; k < rows; ++k, pSrc += s.srcStep, pDest += s.destStep) StreamRow<V, kMirrorX>(pSrc, pDest, width);
      V::Fence();
      return;
    }
  }
  // Locals, as stores through the row pointers could otherwise change s for the compiler.
  const std::ptrdiff_t srcStep = s.srcStep, destStep = s.destStep;
  const int w = s.nWidth;
  const BYTE key = s.key;
  for (int k = s.nHeight - 1; k >= 0; --k, pSrc += srcStep, pDest += destStep) {
    if constexpr (!kKeyed && !kMirrorX && V::kLanes == 1) {
      // One block move per row; memmove, as the block may be of the same bitmap.
      std::memmove(pDest, pSrc, static_cast<std::size_t>(w));
    } else {
      const unsigned drawn = kKeyed ? DrawnColumns<kMode>(k) : 0xF;
      if (drawn != 0) Row<V, kKeyed, kMirrorX>(pSrc, pDest, w, key, drawn);
    }
  }
}

template <class V, bool kKeyed, bool kMirrorX, std::size_t... kSlot>
constexpr void FillPatterns(BlitTable& t, std::index_sequence<kSlot...>) {
  // An opaque copy has one loop whatever the pattern.
  ((t.fn[kKeyed][kMirrorX][kSlot] = &Block<V, kKeyed, kMirrorX, kKeyed ? kModes[kSlot] : 0>), ...);
}

template <class V>
constexpr BlitTable MakeTable() {
  BlitTable t{};
  constexpr auto slots = std::make_index_sequence<kPatternCount>();
  FillPatterns<V, false, false>(t, slots);
  FillPatterns<V, false, true>(t, slots);
  FillPatterns<V, true, false>(t, slots);
  FillPatterns<V, true, true>(t, slots);
  return t;
}

}  // namespace
}  // namespace blockcopy
