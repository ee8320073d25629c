// The row loops on 32-byte AVX2 vectors; built with AVX2 enabled, run only where it is present.
#include "BlockCopyRows.h"

#include <immintrin.h>

namespace blockcopy {
namespace {

struct Avx2 {
  using Vec = __m256i;
  static constexpr int kLanes = 32;
  static constexpr unsigned kAllLanes = 0xFFFFFFFF;

  static Vec Load(const BYTE* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void Store(BYTE* p, Vec v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  // p aligned to a vector; Fence orders the stores with later ones.
  static void Stream(BYTE* p, Vec v) { _mm256_stream_si256(reinterpret_cast<__m256i*>(p), v); }
  static void Fence() { _mm_sfence(); }
  static Vec Splat(BYTE b) { return _mm256_set1_epi8(static_cast<char>(b)); }
  static Vec Splat32(unsigned u) { return _mm256_set1_epi32(static_cast<int>(u)); }
  static Vec Equal(Vec a, Vec b) { return _mm256_cmpeq_epi8(a, b); }
  static Vec AndNot(Vec a, Vec b) { return _mm256_andnot_si256(a, b); }
  static Vec Or(Vec a, Vec b) { return _mm256_or_si256(a, b); }
  static unsigned MoveMask(Vec v) { return static_cast<unsigned>(_mm256_movemask_epi8(v)); }
  static Vec Select(Vec mask, Vec a, Vec b) { return _mm256_blendv_epi8(b, a, mask); }
  // The byte shuffle stays within each 16-byte half; the halves are swapped after it.
  static Vec Reverse(Vec v) {
    const Vec reversed = _mm256_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0,  //
                                          15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    return _mm256_permute4x64_epi64(_mm256_shuffle_epi8(v, reversed), _MM_SHUFFLE(1, 0, 3, 2));
  }
};

constexpr BlitTable kTable = MakeTable<Avx2>();

}  // namespace

const BlitTable& Avx2Table() { return kTable; }

}  // namespace blockcopy
