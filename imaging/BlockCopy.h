// The block copy's per-call state and its row loops, one table of them per instruction set.
//
// CDIB::CopyBits takes every decision once: it checks the block, computes a BlitState and picks
// the loop for its combination of key, mirror-x and dissolve pattern from the table of the
// instruction set chosen for the process. Mirror-y needs no loop of its own: it only turns the
// destination's row step around.
#pragma once

#include "win32.h"

#include <cstddef>

namespace blockcopy {

struct BlitState {
  const BYTE* pSrc;          // the source block's bottom row: its left pixel, its right one with mirror-x
  BYTE* pDest;               // the left pixel of the destination row that source row lands on
  std::ptrdiff_t srcStep;    // from one source row to the one above it
  std::ptrdiff_t destStep;   // to the next destination row: upwards, downwards with mirror-y
  int nWidth;
  int nHeight;
  BYTE key;                  // the index not drawn by a keyed copy
};

using BlitFn = void (*)(const BlitState&);

// Dissolve patterns by their place in the table: modes 0, 1, 2, 4 (and every unnamed mode), 8.
constexpr int kPatternCount = 5;
constexpr int PatternSlot(unsigned mode) {
  switch (mode) {
    case 0: return 0;
    case 1: return 1;
    case 2: return 2;
    case 8: return 4;
    default: return 3;
  }
}

struct BlitTable {
  BlitFn fn[2][2][kPatternCount];  // [keyed][mirror-x][pattern slot]
};

enum class Isa { Scalar, Sse2, Avx2 };

// The instruction sets this build has loops for, and whether this processor runs them.
const BlitTable* TableFor(Isa isa);
bool IsSupported(Isa isa);

// The table CopyBits uses: the best supported one, unless a test chose another.
const BlitTable& ActiveTable();
// Makes CopyBits use isa from now on; false, and nothing changes, when it is not supported.
bool UseIsa(Isa isa);
// Back to the best supported one.
void UseBestIsa();

}  // namespace blockcopy
