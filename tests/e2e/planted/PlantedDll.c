// A DLL planted beside a program under a system DLL's name. Loaded, it leaves "<its path>.loaded"
// naming the program that loaded it, and ends that program: what the program would do next
// with a stand-in for a system DLL says nothing about the search that found it.
#include <windows.h>

// Every name the program imports from the DLL it stands in for leads here.
void PlantedExport(void) {}

BOOL WINAPI DllMain(HINSTANCE hinstDll, DWORD dwReason, LPVOID pvReserved) {
  (void)pvReserved;
  if (dwReason != DLL_PROCESS_ATTACH) return TRUE;
  char szMarker[MAX_PATH + 8];
  char szProgram[MAX_PATH];
  const DWORD nLength = GetModuleFileNameA(hinstDll, szMarker, MAX_PATH);
  const DWORD nProgram = GetModuleFileNameA(NULL, szProgram, MAX_PATH);
  lstrcpyA(szMarker + nLength, ".loaded");
  const HANDLE hFile = CreateFileA(szMarker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (hFile != INVALID_HANDLE_VALUE) {
    DWORD nWritten;
    WriteFile(hFile, szProgram, nProgram, &nWritten, NULL);
    CloseHandle(hFile);
  }
  TerminateProcess(GetCurrentProcess(), 3);
  return FALSE;
}
