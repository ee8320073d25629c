// Milestones for the benchmarks: when KV2_TIMING names a file, each mark appends the line
// "NAME MICROSECONDS PEAK-BYTES": the system time in microseconds since 1970 (the clock a Linux
// script reads under Wine) and the peak working set of the process so far. Without it, nothing.
#pragma once

void MarkTiming(const char* pszName);
