#pragma once

namespace bench {

// Registers the block copy's benchmarks and goals; each family checks its pixels against its
// reference when it first runs.
void RegisterBlockCopyBenchmarks();

}  // namespace bench
