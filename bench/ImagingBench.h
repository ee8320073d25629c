#pragma once

namespace bench {

// Registers the remapping and archive-loading benchmarks and goals; each checks its result
// against its reference when it first runs.
void RegisterImagingBenchmarks();

}  // namespace bench
