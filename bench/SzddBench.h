#pragma once

namespace bench {

// Registers the SZDD expansion benchmarks and goals; each input is made and its expansions
// checked against libmspack's when a benchmark first needs it.
void RegisterSzddBenchmarks();

}  // namespace bench
