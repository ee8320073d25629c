// Functions newer than the oldest system the programs declare, which the runtime's thread library
// (built elsewhere) imports. Its import is defined here, as the pointer through which its calls
// go, so that the programs import nothing the declared system lacks: the system's own function
// where it has one, a stand-in where not.
#include <windows.h>

namespace {

using TickCount64Proc = ULONGLONG(WINAPI*)();

// Bound on first use, without a guarded static: the thread library itself may be what guards.
TickCount64Proc pfnSystemTickCount64 = nullptr;

// Before Vista: the 32-bit count, which wraps after 49.7 days of uptime.
ULONGLONG WINAPI TickCount32() { return GetTickCount(); }

ULONGLONG WINAPI TickCount64() {
  if (pfnSystemTickCount64 == nullptr) {
    const auto pfn = reinterpret_cast<TickCount64Proc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
    pfnSystemTickCount64 = pfn != nullptr ? pfn : TickCount32;
  }
  return pfnSystemTickCount64();
}

}  // namespace

#ifdef _WIN64
#define KV2_IMPORT_NAME(name, stack) "__imp_" #name
#else
#define KV2_IMPORT_NAME(name, stack) "__imp__" #name "@" #stack
#endif

extern "C" {
extern TickCount64Proc const pfnImportedTickCount64 __asm__(KV2_IMPORT_NAME(GetTickCount64, 0));
TickCount64Proc const pfnImportedTickCount64 = TickCount64;
}
