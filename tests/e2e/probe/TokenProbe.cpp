// Stands in for the client in the media: writes what it was started with to "token-probe.txt"
// beside itself, one value a line: its token's elevation type (1 default, 2 full, 3 limited;
// 0 where the system has none), its current directory and its command line.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

DWORD ElevationType() {
  HANDLE hToken = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken)) return 0;
  TOKEN_ELEVATION_TYPE type{};
  DWORD cb = 0;
  const BOOL bRead = GetTokenInformation(hToken, TokenElevationType, &type, sizeof(type), &cb);
  CloseHandle(hToken);
  return bRead ? static_cast<DWORD>(type) : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char szDirectory[MAX_PATH];
  char szReport[MAX_PATH + 32];
  if (GetCurrentDirectoryA(MAX_PATH, szDirectory) == 0 || GetModuleFileNameA(nullptr, szReport, MAX_PATH) == 0) return 1;
  char* pszName = std::strrchr(szReport, '\\');
  if (pszName == nullptr) return 1;
  std::strcpy(pszName + 1, "token-probe.txt");
  FILE* f = std::fopen(szReport, "w");
  if (f == nullptr) return 1;
  std::fprintf(f, "%lu\n%s\n%s\n", static_cast<unsigned long>(ElevationType()), szDirectory, GetCommandLineA());
  return std::fclose(f) == 0 ? 0 : 1;
}
