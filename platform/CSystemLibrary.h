// A system DLL bound at run time from the system folder, in place of an import. The programs
// run elevated from folders others can write to; their import tables name only DLLs that the
// system loads from its list of known DLLs, and the others are bound here, on first use, never
// from the program's folder or the current directory (SystemFunctions.cpp lists the functions).
#pragma once

#include <windows.h>

class CSystemLibrary {
 public:
  explicit constexpr CSystemLibrary(const char* pszName) : m_pszName(pszName) {}

  // The function as the headers declare it. One that cannot be bound is reported in a message
  // box naming it, and the program ends: it cannot run on without it.
  template <typename F>
  F* Bind(F*, const char* pszFunction) {
    return reinterpret_cast<F*>(reinterpret_cast<void*>(Procedure(pszFunction)));
  }

  // A function newer than the oldest system the programs run on: null where the system lacks
  // it, and the caller does without. Named by its declaration's type (decltype), which does
  // not make it an import.
  template <typename F>
  F* Find(const char* pszFunction) {
    return reinterpret_cast<F*>(reinterpret_cast<void*>(Lookup(pszFunction)));
  }

 private:
  FARPROC Procedure(const char* pszFunction);
  FARPROC Lookup(const char* pszFunction);
  HMODULE Module();

  const char* m_pszName;
  HMODULE m_hModule = nullptr;
};
