// The benchmark suite: every family checks its output against its reference once, then runs;
// the table of goals ends the output.
#include "BlockCopyBench.h"
#include "GoalTable.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (!bench::RegisterBlockCopyBenchmarks()) {
    std::fprintf(stderr, "bench: outputs differ; nothing measured\n");
    return 1;
  }
  return bench::RunAndReport(argc, argv);
}
