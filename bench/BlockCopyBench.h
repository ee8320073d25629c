#pragma once

namespace bench {

// Registers the block copy's benchmarks and goals; false when one of them draws other pixels
// than its reference.
bool RegisterBlockCopyBenchmarks();

}  // namespace bench
