#include "TimingMarks.h"

#include "CSystemLibrary.h"

#include <windows.h>
// Kernel32's own copy of the memory counters: psapi.dll is not a DLL the programs may import.
#define PSAPI_VERSION 2
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

namespace {

constinit CSystemLibrary kernel32("kernel32.dll");

// 100-nanosecond units from 1601 to 1970.
constexpr unsigned long long kUnixEpoch = 116444736000000000ULL;

unsigned long long MicrosecondsSince1970() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  const unsigned long long n = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return (n - kUnixEpoch) / 10;
}

}  // namespace

void MarkTiming(const char* pszName) {
  const char* pszFile = std::getenv("KV2_TIMING");
  if (pszFile == nullptr) return;
  const unsigned long long tick = MicrosecondsSince1970();
  PROCESS_MEMORY_COUNTERS counters{};
  // Kernel32 has the counters from Windows 7 on; before, the peak reads 0.
  if (const auto pfnCounters = kernel32.Find<decltype(K32GetProcessMemoryInfo)>("K32GetProcessMemoryInfo"))
    pfnCounters(GetCurrentProcess(), &counters, sizeof(counters));
  if (FILE* f = std::fopen(pszFile, "a")) {
    std::fprintf(f, "%s %llu %llu\n", pszName, tick, static_cast<unsigned long long>(counters.PeakWorkingSetSize));
    std::fclose(f);
  }
}
