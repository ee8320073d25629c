#pragma once

namespace bench {

// Registers the SZDD expansion benchmarks and goals; false when an expansion differs from the
// peer's.
bool RegisterSzddBenchmarks();

}  // namespace bench
