// The benchmarks' report: each goal compares the median time of one of our benchmarks with the
// median of its reference (a physical limit or a peer) measured in the same run.
#pragma once

#include <string>

namespace bench {

// ratio = reference median / our median, so above 1 we are faster (or smaller); the goal is met
// at or above minRatio. A minRatio of 0 reports the ratio without a goal. With a counter, the
// medians are of that user counter (named after its unit, "ms" or "MB"), not of the time.
void AddGoal(const std::string& ours, const std::string& reference, double minRatio, const std::string& counter = "");

// A ratio reported without a goal, with the reason there is none printed beside it.
void AddReported(const std::string& ours, const std::string& reference, const std::string& why);

// ours must take at most `limit` (nanoseconds, or the counter's unit): the ratio is that limit /
// our median.
void AddLimit(const std::string& ours, double limit, const std::string& counter = "");

// A benchmark whose output differs from its reference's: said at once, and the run fails.
void ReportMismatch(const std::string& what);

// Smaller inputs when KV2_BENCH_SMOKE is set: a check that the benchmarks run and agree.
bool IsSmokeRun();

// Runs every registered benchmark (the command line may narrow or shorten them), prints
// Google Benchmark's own output, then the table of goals and "goals met: X of Y".
// Returns the process's exit status: 0 whatever was measured, 1 after a mismatch.
int RunAndReport(int argc, char** argv);

}  // namespace bench
