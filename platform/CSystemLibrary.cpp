#include "CSystemLibrary.h"

#include <cstdio>

namespace {

HMODULE LoadFromSystemFolder(const char* pszName) {
  // By name, so that side-by-side versions the manifest asks for still apply.
  if (HMODULE hModule = LoadLibraryExA(pszName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return hModule;
  if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  // A system without the search flags: the full path, and its dependencies from beside it.
  char szPath[MAX_PATH];
  const UINT nLength = GetSystemDirectoryA(szPath, MAX_PATH);
  if (nLength == 0 || nLength + 1 + lstrlenA(pszName) >= MAX_PATH) return nullptr;
  szPath[nLength] = '\\';
  lstrcpyA(szPath + nLength + 1, pszName);
  return LoadLibraryExA(szPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

[[noreturn]] void Unbound(const char* pszLibrary, const char* pszFunction) {
  char szText[256];
  std::snprintf(szText, sizeof szText, "The system library %s could not be loaded from the system folder (%s).",
                pszLibrary, pszFunction);
  MessageBoxA(nullptr, szText, nullptr, MB_OK | MB_ICONERROR);
  ExitProcess(1);
}

}  // namespace

HMODULE CSystemLibrary::Module() {
  if (m_hModule == nullptr) m_hModule = LoadFromSystemFolder(m_pszName);
  return m_hModule;
}

FARPROC CSystemLibrary::Lookup(const char* pszFunction) {
  const HMODULE hModule = Module();
  return hModule != nullptr ? GetProcAddress(hModule, pszFunction) : nullptr;
}

FARPROC CSystemLibrary::Procedure(const char* pszFunction) {
  const FARPROC pfn = Lookup(pszFunction);
  if (pfn == nullptr) Unbound(m_pszName, pszFunction);
  return pfn;
}
