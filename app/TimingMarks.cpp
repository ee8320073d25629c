#include "TimingMarks.h"

#include <windows.h>
// Kernel32's own copy of the memory counters: psapi.dll is not a DLL the programs may import.
#define PSAPI_VERSION 2
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

namespace {

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
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  if (FILE* f = std::fopen(pszFile, "a")) {
    std::fprintf(f, "%s %llu %llu\n", pszName, tick, static_cast<unsigned long long>(counters.PeakWorkingSetSize));
    std::fclose(f);
  }
}
