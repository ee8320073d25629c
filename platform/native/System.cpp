// Time and memory protection for the native build.
#include "win32.h"

#include <cstdint>
#include <ctime>

DWORD GetTickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  // Wraps after 49.7 days, as on Windows.
  return static_cast<DWORD>(std::uint64_t(now.tv_sec) * 1000u + std::uint64_t(now.tv_nsec) / 1000000u);
}

BOOL VirtualProtect(LPVOID address, SIZE_T, DWORD newProtect, PDWORD oldProtect) {
  if (address == nullptr || oldProtect == nullptr || newProtect == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *oldProtect = PAGE_READWRITE;
  return TRUE;
}
