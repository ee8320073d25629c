// The row loops on 16-byte SSE2 vectors; built with SSE2 enabled, run only where it is present.
#include "BlockCopyRows.h"

#include <emmintrin.h>

namespace blockcopy {
namespace {

struct Sse2 {
  using Vec = __m128i;
  static constexpr int kLanes = 16;
  static constexpr unsigned kAllLanes = 0xFFFF;

  static Vec Load(const BYTE* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void Store(BYTE* p, Vec v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  // p aligned to a vector; Fence orders the stores with later ones.
  static void Stream(BYTE* p, Vec v) { _mm_stream_si128(reinterpret_cast<__m128i*>(p), v); }
  static void Fence() { _mm_sfence(); }
  static Vec Splat(BYTE b) { return _mm_set1_epi8(static_cast<char>(b)); }
  static Vec Splat32(unsigned u) { return _mm_set1_epi32(static_cast<int>(u)); }
  static Vec Equal(Vec a, Vec b) { return _mm_cmpeq_epi8(a, b); }
  static Vec AndNot(Vec a, Vec b) { return _mm_andnot_si128(a, b); }
  static Vec Or(Vec a, Vec b) { return _mm_or_si128(a, b); }
  static unsigned MoveMask(Vec v) { return static_cast<unsigned>(_mm_movemask_epi8(v)); }
  static Vec Select(Vec mask, Vec a, Vec b) { return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b)); }
  // No byte shuffle before SSSE3: reverse the dwords, the words in each, the bytes in each word.
  static Vec Reverse(Vec v) {
    v = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));
    v = _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1)), _MM_SHUFFLE(2, 3, 0, 1));
    return _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
  }
};

constexpr BlitTable kTable = MakeTable<Sse2>();

}  // namespace

const BlitTable& Sse2Table() { return kTable; }

}  // namespace blockcopy
