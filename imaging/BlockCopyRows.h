// The row loops of the block copy, written once over an instruction set's vector operations.
//
// Included by one source file per instruction set, each compiled for that set. Everything here
// has internal linkage, so the copies built with different instruction sets never merge.
#pragma once

#include "BlockCopy.h"

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

// Pixels [j, w) of one row, one at a time: the whole row without vectors, the tail with them.
template <bool kKeyed, bool kMirrorX>
inline void RowTail(const BYTE* pSrc, BYTE* pDest, int j, int w, BYTE key, unsigned drawn) {
  for (; j < w; ++j) {
    const BYTE v = SourcePixel<kMirrorX>(pSrc, j);
    if (!kKeyed || (((drawn >> ((w - 1 - j) & 3)) & 1) && v != key)) pDest[j] = v;
  }
}

template <class V, bool kKeyed, bool kMirrorX>
inline void Row(const BYTE* pSrc, BYTE* pDest, int w, BYTE key, unsigned drawn) {
  int j = 0;
  if constexpr (V::kLanes > 1) {
    using Vec = typename V::Vec;
    constexpr int n = V::kLanes;
    const Vec keys = V::Splat(key);
    // Vectors start at multiples of 4 from the row's left end, so one pattern vector serves all.
    unsigned lanes = 0;
    for (int l = 0; l < 4; ++l)
      if ((drawn >> ((w - 1 - l) & 3)) & 1) lanes |= 0xFFu << (8 * l);
    const Vec pattern = V::Splat32(lanes);
    for (; j + n <= w; j += n) {
      const Vec v = kMirrorX ? V::Reverse(V::Load(pSrc - j - (n - 1))) : V::Load(pSrc + j);
      if constexpr (!kKeyed) {
        V::Store(pDest + j, v);
      } else {
        const Vec take = V::AndNot(V::Equal(v, keys), pattern);
        const unsigned mask = V::MoveMask(take);
        if (mask == 0) continue;
        V::Store(pDest + j, mask == V::kAllLanes ? v : V::Select(take, v, V::Load(pDest + j)));
      }
    }
  }
  RowTail<kKeyed, kMirrorX>(pSrc, pDest, j, w, key, drawn);
}

template <class V, bool kKeyed, bool kMirrorX, int kMode>
void Block(const BlitState& s) {
  const BYTE* pSrc = s.pSrc;
  BYTE* pDest = s.pDest;
  for (int k = s.nHeight - 1; k >= 0; --k, pSrc += s.srcStep, pDest += s.destStep) {
    if constexpr (!kKeyed && !kMirrorX) {
      // One block move per row; memmove, as the block may be of the same bitmap.
      std::memmove(pDest, pSrc, static_cast<std::size_t>(s.nWidth));
    } else {
      const unsigned drawn = kKeyed ? DrawnColumns<kMode>(k) : 0xF;
      if (drawn != 0) Row<V, kKeyed, kMirrorX>(pSrc, pDest, s.nWidth, s.key, drawn);
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
