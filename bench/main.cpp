// The benchmark suite: every family checks its output against its reference once, then runs;
// the table of goals ends the output.
#include "BlockCopyBench.h"
#include "GoalTable.h"
#include "SzddBench.h"

#include <cstdio>

int main(int argc, char** argv) {
  const bool blockCopy = bench::RegisterBlockCopyBenchmarks();
  const bool szdd = bench::RegisterSzddBenchmarks();
  if (!blockCopy || !szdd) {
    std::fprintf(stderr, "bench: outputs differ; nothing measured\n");
    return 1;
  }
  return bench::RunAndReport(argc, argv);
}
