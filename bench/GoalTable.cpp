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
  double limit = 0;     // instead of a reference benchmark
  std::string counter;  // empty: the processor time, in nanoseconds
  std::string why;      // of a reported row: why it has no goal
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
      std::map<std::string, double>* pValues = nullptr;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        pValues = &m_medians[run.run_name.str()];
      else if (run.run_type == Run::RT_Iteration)
        pValues = &m_single[run.run_name.str()];
      if (pValues == nullptr) continue;
      (*pValues)[""] = run.GetAdjustedCPUTime();
      for (const auto& [counter, value] : run.counters) (*pValues)[counter] = value.value;
    }
  }

  // Nanoseconds, or the counter's value; negative when the benchmark did not run.
  double Median(const std::string& name, const std::string& counter) const {
    for (const auto* pRuns : {&m_medians, &m_single}) {
      const auto run = pRuns->find(name);
      if (run == pRuns->end()) continue;
      const auto value = run->second.find(counter);
      return value == run->second.end() ? -1 : value->second;
    }
    return -1;
  }

 private:
  // Benchmark name -> counter (empty for the time) -> value.
  using Values = std::map<std::string, std::map<std::string, double>>;
  Values m_medians;
  Values m_single;
};

// The time in microseconds, a counter as it is, with its unit.
void PrintValue(double value, const std::string& counter) {
  if (counter.empty())
    std::printf("%9.1f us", value / 1000);
  else
    std::printf("%9.3f %-2s", value, counter.c_str());
}

void PrintTable(const MedianReporter& reporter) {
  std::printf("\n%-40s %12s  %-32s %12s %8s %6s  %s\n", "ours", "median", "reference", "median", "ratio", "goal",
              "met");
  int met = 0;
  int counted = 0;
  for (const Goal& g : Goals()) {
    const double ours = reporter.Median(g.ours, g.counter);
    const double reference = g.limit > 0 ? g.limit : reporter.Median(g.reference, g.counter);
    if (ours <= 0 || reference <= 0) continue;  // narrowed out by a filter
    const double ratio = reference / ours;
    std::printf("%-40s ", g.ours.c_str());
    PrintValue(ours, g.counter);
    std::printf("  %-32s ", g.reference.c_str());
    PrintValue(reference, g.counter);
    std::printf(" %7.2fx ", ratio);
    if (g.minRatio <= 0) {
      std::printf("%6s  %s\n", "-", g.why.empty() ? "-" : g.why.c_str());
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

void AddGoal(const std::string& ours, const std::string& reference, double minRatio, const std::string& counter) {
  Goals().push_back({ours, reference, minRatio, 0, counter, ""});
}

void AddReported(const std::string& ours, const std::string& reference, const std::string& why) {
  Goals().push_back({ours, reference, 0, 0, "", why});
}

void ReportMismatch(const std::string& what) {
  std::fprintf(stderr, "bench: %s differs from its reference\n", what.c_str());
  g_bMismatch = true;
}

bool IsSmokeRun() { return std::getenv("KV2_BENCH_SMOKE") != nullptr; }

void AddLimit(const std::string& ours, double limit, const std::string& counter) {
  Goals().push_back({ours, "limit", 1.0, limit, counter, ""});
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
