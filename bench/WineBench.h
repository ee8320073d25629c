#pragma once

namespace bench {

// The Windows programs under Wine, when KV2_BENCH_WINDOWS names their build (scripts/bench).
void RegisterWineBenchmarks();

}  // namespace bench
