#include "BlockCopy.h"

#include <initializer_list>

namespace blockcopy {

const BlitTable& ScalarTable();
#if KV2_BLOCKCOPY_X86
const BlitTable& Sse2Table();
const BlitTable& Avx2Table();
#endif

namespace {

bool ProcessorHas(Isa isa) {
#if KV2_BLOCKCOPY_X86
  __builtin_cpu_init();
  switch (isa) {
    case Isa::Scalar: return true;
    case Isa::Sse2: return __builtin_cpu_supports("sse2");
    case Isa::Avx2: return __builtin_cpu_supports("avx2");
  }
  return false;
#else
  return isa == Isa::Scalar;
#endif
}

const BlitTable* Best() {
  for (Isa isa : {Isa::Avx2, Isa::Sse2})
    if (IsSupported(isa)) return TableFor(isa);
  return &ScalarTable();
}

const BlitTable* g_pActive = nullptr;

}  // namespace

const BlitTable* TableFor(Isa isa) {
  switch (isa) {
    case Isa::Scalar: return &ScalarTable();
#if KV2_BLOCKCOPY_X86
    case Isa::Sse2: return &Sse2Table();
    case Isa::Avx2: return &Avx2Table();
#endif
    default: return nullptr;
  }
}

bool IsSupported(Isa isa) { return TableFor(isa) != nullptr && ProcessorHas(isa); }

const BlitTable& ActiveTable() {
  if (g_pActive == nullptr) g_pActive = Best();
  return *g_pActive;
}

bool UseIsa(Isa isa) {
  if (!IsSupported(isa)) return false;
  g_pActive = TableFor(isa);
  return true;
}

void UseBestIsa() { g_pActive = Best(); }

}  // namespace blockcopy
