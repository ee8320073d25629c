// The benchmark suite: each family checks its output against its reference when it first runs;
// the table of goals ends the output.
#include "BlockCopyBench.h"
#include "GoalTable.h"
#include "ImagingBench.h"
#include "SzddBench.h"
#include "WineBench.h"

int main(int argc, char** argv) {
  bench::RegisterBlockCopyBenchmarks();
  bench::RegisterSzddBenchmarks();
  bench::RegisterImagingBenchmarks();
  bench::RegisterWineBenchmarks();
  return bench::RunAndReport(argc, argv);
}
