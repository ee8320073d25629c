// The programs' entry point. Before the runtime starts, and so before anything else can load a
// DLL, the DLL search is kept to the system folder: the programs run elevated, started from
// folders others can write to, which must never supply a DLL.
// SetDllDirectoryA is declared from this version on; it is older than the declared minimum.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0502
#include <windows.h>

extern "C" int WinMainCRTStartup();

extern "C" int SafeWinMainStartup() {
  using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
  const auto pfnSetDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesProc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
  // Without it (older systems) at least the current directory leaves the search.
  if (pfnSetDefaultDllDirectories == nullptr || !pfnSetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
    SetDllDirectoryA("");
  return WinMainCRTStartup();
}
