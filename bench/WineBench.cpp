// The Windows release build under Wine, each row beside a minimal program of ours built and
// started the same way in the same prefix: the size of what ships, the start-up to the skinned
// dialog, the install of two payloads (and cp -r of them) and the peak memory while it installs.
// The times and peaks come from the programs' own milestones (KV2_TIMING); bench/peers/measure.sh
// starts and drives the programs, within the Wine session scripts/bench sets up.
#include "WineBench.h"

#include "GoalTable.h"
#include "KdsArchive.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench {
namespace {

constexpr double kBytesPerMB = 1e6;

// Each row is one run of a program; Google Benchmark names such a row with this suffix.
const std::string kOnce = "/iterations:1";

struct Payload {
  const char* name;
  int files;
  long bytes;
};
constexpr Payload kSmallFiles{"1000x64KiB", 1000, 64 << 10};
constexpr Payload kFewerFiles{"100x64KiB", 100, 64 << 10};
constexpr Payload kBigFile{"1x200MiB", 1, 200L << 20};

std::string WindowsBuild() { return std::getenv("KV2_BENCH_WINDOWS"); }

std::string Media() { return WindowsBuild() + "/demo-media"; }

// One run of measure.sh: its output is "MILLISECONDS [PEAK-BYTES]"; false when it failed.
bool Measure(const std::string& args, double& ms, double& peakBytes) {
  const std::string command = "bash '" KV2_SOURCE_DIR "/bench/peers/measure.sh' " + args;
  FILE* p = popen(command.c_str(), "r");
  if (p == nullptr) return false;
  peakBytes = 0;
  const int nRead = std::fscanf(p, "%lf %lf", &ms, &peakBytes);
  return pclose(p) == 0 && nRead >= 1;
}

void MeasureRow(benchmark::State& state, const std::string& args) {
  double ms = 0;
  double peakBytes = 0;
  for (auto _ : state) {
    if (!Measure(args, ms, peakBytes)) {
      state.SkipWithError(("measure.sh " + args + " failed").c_str());
      return;
    }
  }
  state.counters["ms"] = ms;
  if (peakBytes > 0) state.counters["MB"] = peakBytes / kBytesPerMB;
}

void SizeRow(benchmark::State& state, const std::string& path) {
  double bytes = 0;
  for (auto _ : state) bytes = static_cast<double>(std::filesystem::file_size(path));
  state.counters["MB"] = bytes / kBytesPerMB;
}

// The bitmap files the skin archive holds, as the setup reads them (expanded).
void SkinBitmapsRow(benchmark::State& state) {
  KdsArchive archive;
  std::string error;
  double bytes = 0;
  for (auto _ : state) {
    if (!archive.Read(Media() + "/K2Login.kds", error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    bytes = 0;
    for (const kds::Entry& entry : archive.Entries()) bytes += static_cast<double>(archive.MemberBytes(entry).size());
  }
  state.counters["MB"] = bytes / kBytesPerMB;
}

std::string Register(const std::string& name, const std::string& args) {
  benchmark::RegisterBenchmark(name.c_str(), MeasureRow, args)->Iterations(1);
  return name + kOnce;
}

std::string RegisterSize(const std::string& name, const std::string& path) {
  benchmark::RegisterBenchmark(name.c_str(), SizeRow, path)->Iterations(1);
  return name + kOnce;
}

std::string InstallArgs(const char* pszHow, const Payload& payload) {
  return std::string(pszHow) + " '" + WindowsBuild() + "' " + std::to_string(payload.files) + " " +
         std::to_string(payload.bytes);
}

std::string RegisterInstall(const Payload& payload) {
  const std::string prefix = std::string("wine/install/") + payload.name + "/";
  const std::string setup = Register(prefix + "setup", InstallArgs("install-setup", payload));
  AddGoal(setup, Register(prefix + "minimal_program", InstallArgs("install-peer", payload)), 1 / 1.1, "ms");
  AddGoal(setup, Register(prefix + "cp_r", InstallArgs("install-cp", payload)), 0, "ms");
  return setup;
}

}  // namespace

void RegisterWineBenchmarks() {
  if (std::getenv("KV2_BENCH_WINDOWS") == nullptr) return;
  const std::string minimalSize = RegisterSize("wine/size/minimal_dialog", WindowsBuild() + "/bench/peers/kv2_peer_dialog.exe");
  const std::string setupSize = RegisterSize("wine/size/KV2Setup.exe", Media() + "/KV2Setup.exe");
  AddLimit(setupSize, 1.5, "MB");
  AddGoal(setupSize, minimalSize, 0, "MB");
  AddGoal(RegisterSize("wine/size/KV2.EXE", Media() + "/KV2.EXE"), minimalSize, 0, "MB");

  const std::string minimalStart =
      Register("wine/startup/minimal_dialog", "startup '" + WindowsBuild() + "/bench/peers' kv2_peer_dialog.exe");
  AddGoal(Register("wine/startup/setup", "startup '" + Media() + "' KV2Setup.exe"), minimalStart, 1 / 1.2, "ms");

  const std::string manyFiles = RegisterInstall(kSmallFiles);
  RegisterInstall(kBigFile);
  // The peak may not grow with the number of files: beyond the skin's bitmaps it is fixed.
  AddGoal(manyFiles, Register(std::string("wine/install/") + kFewerFiles.name + "/setup",
                              InstallArgs("install-setup", kFewerFiles)),
          0.98, "MB");
  AddGoal(manyFiles, minimalStart, 0, "MB");
  benchmark::RegisterBenchmark("wine/memory/skin_bitmaps", SkinBitmapsRow)->Iterations(1);
}

}  // namespace bench
