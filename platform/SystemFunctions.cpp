// The functions the code calls in system DLLs outside the known list, defined with the headers'
// own declarations, so that callers call them as ever. Each binds its function from the system
// folder when first called: a program that never reads a palette file never loads winmm.
// comdlg32 is a known DLL, but Wine's imports comctl32, which would then be looked for in the
// program's folder before the program could restrict the search.
// The platform's targets are built with _COMCTL32_, _COMDLG32_ and _WINMM_, which declare these
// functions as ours rather than as imports; a function missing here fails the link.
#include "CSystemLibrary.h"

#include <commctrl.h>
#include <commdlg.h>
#include <lzexpand.h>
#include <mmsystem.h>

namespace {

constinit CSystemLibrary comctl32("comctl32.dll");
constinit CSystemLibrary comdlg32("comdlg32.dll");
constinit CSystemLibrary lz32("lz32.dll");
constinit CSystemLibrary winmm("winmm.dll");

// Calls the function, bound once, at its first call.
template <auto pfnDeclared, typename... Args>
auto Forward(CSystemLibrary& library, const char* pszName, Args... args) {
  static const auto pfn = library.Bind(pfnDeclared, pszName);
  return pfn(args...);
}

}  // namespace

extern "C" {

WINBOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
  return Forward<&InitCommonControlsEx>(comctl32, "InitCommonControlsEx", picce);
}

WINBOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA pofn) {
  return Forward<&GetOpenFileNameA>(comdlg32, "GetOpenFileNameA", pofn);
}

WINBOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA pofn) {
  return Forward<&GetSaveFileNameA>(comdlg32, "GetSaveFileNameA", pofn);
}

DWORD WINAPI CommDlgExtendedError() {
  return Forward<&CommDlgExtendedError>(comdlg32, "CommDlgExtendedError");
}

INT WINAPI LZInit(INT hfSource) {
  return Forward<&LZInit>(lz32, "LZInit", hfSource);
}

LONG WINAPI LZSeek(INT hFile, LONG lOffset, INT iOrigin) {
  return Forward<&LZSeek>(lz32, "LZSeek", hFile, lOffset, iOrigin);
}

INT WINAPI LZRead(INT hFile, LPSTR lpBuffer, INT cbRead) {
  return Forward<&LZRead>(lz32, "LZRead", hFile, lpBuffer, cbRead);
}

VOID WINAPI LZClose(INT hFile) {
  return Forward<&LZClose>(lz32, "LZClose", hFile);
}

HMMIO WINAPI mmioOpenA(LPSTR pszFileName, LPMMIOINFO pmmioinfo, DWORD fdwOpen) {
  return Forward<&mmioOpenA>(winmm, "mmioOpenA", pszFileName, pmmioinfo, fdwOpen);
}

MMRESULT WINAPI mmioClose(HMMIO hmmio, UINT fuClose) {
  return Forward<&mmioClose>(winmm, "mmioClose", hmmio, fuClose);
}

LONG WINAPI mmioRead(HMMIO hmmio, HPSTR pch, LONG cch) {
  return Forward<&mmioRead>(winmm, "mmioRead", hmmio, pch, cch);
}

LONG WINAPI mmioSeek(HMMIO hmmio, LONG lOffset, int iOrigin) {
  return Forward<&mmioSeek>(winmm, "mmioSeek", hmmio, lOffset, iOrigin);
}

MMRESULT WINAPI mmioDescend(HMMIO hmmio, LPMMCKINFO pmmcki, const MMCKINFO* pmmckiParent, UINT fuDescend) {
  return Forward<&mmioDescend>(winmm, "mmioDescend", hmmio, pmmcki, pmmckiParent, fuDescend);
}

MMRESULT WINAPI mmioAscend(HMMIO hmmio, LPMMCKINFO pmmcki, UINT fuAscend) {
  return Forward<&mmioAscend>(winmm, "mmioAscend", hmmio, pmmcki, fuAscend);
}

}  // extern "C"
