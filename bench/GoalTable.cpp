#include "GoalTable.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

namespace bench {
namespace {

struct Goal {
  std::string ours;
  std::string reference;
  double minRatio;
  double limit = 0;  // nanoseconds, instead of a reference benchmark
};

bool g_bMismatch = false;

std::vector<Goal>& Goals() {
  static std::vector<Goal> goals;
  return goals;
}

// Keeps the median of each benchmark, or its only run when there are no repetitions. Processor
// time, not wall time: the machine may be shared, and a copy never waits for anything else.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string name = run.run_name.str();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        m_medians[name] = run.GetAdjustedCPUTime();
      else if (run.run_type == Run::RT_Iteration)
        m_single[name] = run.GetAdjustedCPUTime();
    }
  }

  // Nanoseconds; negative when the benchmark did not run.
  double Median(const std::string& name) const {
    if (auto it = m_medians.find(name); it != m_medians.end()) return it->second;
    if (auto it = m_single.find(name); it != m_single.end()) return it->second;
    return -1;
  }

 private:
  std::map<std::string, double> m_medians;
  std::map<std::string, double> m_single;
};

void PrintTable(const MedianReporter& reporter) {
  std::printf("\n%-40s %12s  %-32s %12s %8s %6s  %s\n", "ours", "median", "reference", "median", "ratio", "goal",
              "met");
  int met = 0;
  int counted = 0;
  for (const Goal& g : Goals()) {
    const double ours = reporter.Median(g.ours);
    const double reference = g.limit > 0 ? g.limit : reporter.Median(g.reference);
    if (ours <= 0 || reference <= 0) continue;  // narrowed out by a filter
    const double ratio = reference / ours;
    std::printf("%-40s %9.1f us  %-32s %9.1f us %7.2fx ", g.ours.c_str(), ours / 1000, g.reference.c_str(),
                reference / 1000, ratio);
    if (g.minRatio <= 0) {
      std::printf("%6s  %s\n", "-", "-");
      continue;
    }
    const bool ok = ratio >= g.minRatio;
    met += ok;
    ++counted;
    std::printf("%5.2fx  %s\n", g.minRatio, ok ? "yes" : "NO");
  }
  std::printf("goals met: %d of %d\n", met, counted);
}

}  // namespace

void AddGoal(const std::string& ours, const std::string& reference, double minRatio) {
  Goals().push_back({ours, reference, minRatio});
}

void ReportMismatch(const std::string& what) {
  std::fprintf(stderr, "bench: %s differs from its reference\n", what.c_str());
  g_bMismatch = true;
}

bool IsSmokeRun() { return std::getenv("KV2_BENCH_SMOKE") != nullptr; }

void AddLimit(const std::string& ours, double nanoseconds) {
  Goals().push_back({ours, "limit", 1.0, nanoseconds});
}

int RunAndReport(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintTable(reporter);
  return g_bMismatch ? 1 : 0;
}

}  // namespace bench
