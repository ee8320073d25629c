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

}  // namespace

extern "C" {

WINBOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
  static const auto pfn = comctl32.Bind(&InitCommonControlsEx, "InitCommonControlsEx");
  return pfn(picce);
}

WINBOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA pofn) {
  static const auto pfn = comdlg32.Bind(&GetOpenFileNameA, "GetOpenFileNameA");
  return pfn(pofn);
}

WINBOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA pofn) {
  static const auto pfn = comdlg32.Bind(&GetSaveFileNameA, "GetSaveFileNameA");
  return pfn(pofn);
}

DWORD WINAPI CommDlgExtendedError() {
  static const auto pfn = comdlg32.Bind(&CommDlgExtendedError, "CommDlgExtendedError");
  return pfn();
}

INT WINAPI LZInit(INT hfSource) {
  static const auto pfn = lz32.Bind(&LZInit, "LZInit");
  return pfn(hfSource);
}

LONG WINAPI LZSeek(INT hFile, LONG lOffset, INT iOrigin) {
  static const auto pfn = lz32.Bind(&LZSeek, "LZSeek");
  return pfn(hFile, lOffset, iOrigin);
}

INT WINAPI LZRead(INT hFile, LPSTR lpBuffer, INT cbRead) {
  static const auto pfn = lz32.Bind(&LZRead, "LZRead");
  return pfn(hFile, lpBuffer, cbRead);
}

VOID WINAPI LZClose(INT hFile) {
  static const auto pfn = lz32.Bind(&LZClose, "LZClose");
  pfn(hFile);
}

HMMIO WINAPI mmioOpenA(LPSTR pszFileName, LPMMIOINFO pmmioinfo, DWORD fdwOpen) {
  static const auto pfn = winmm.Bind(&mmioOpenA, "mmioOpenA");
  return pfn(pszFileName, pmmioinfo, fdwOpen);
}

MMRESULT WINAPI mmioClose(HMMIO hmmio, UINT fuClose) {
  static const auto pfn = winmm.Bind(&mmioClose, "mmioClose");
  return pfn(hmmio, fuClose);
}

LONG WINAPI mmioRead(HMMIO hmmio, HPSTR pch, LONG cch) {
  static const auto pfn = winmm.Bind(&mmioRead, "mmioRead");
  return pfn(hmmio, pch, cch);
}

LONG WINAPI mmioSeek(HMMIO hmmio, LONG lOffset, int iOrigin) {
  static const auto pfn = winmm.Bind(&mmioSeek, "mmioSeek");
  return pfn(hmmio, lOffset, iOrigin);
}

MMRESULT WINAPI mmioDescend(HMMIO hmmio, LPMMCKINFO pmmcki, const MMCKINFO* pmmckiParent, UINT fuDescend) {
  static const auto pfn = winmm.Bind(&mmioDescend, "mmioDescend");
  return pfn(hmmio, pmmcki, pmmckiParent, fuDescend);
}

MMRESULT WINAPI mmioAscend(HMMIO hmmio, LPMMCKINFO pmmcki, UINT fuAscend) {
  static const auto pfn = winmm.Bind(&mmioAscend, "mmioAscend");
  return pfn(hmmio, pmmcki, fuAscend);
}

}  // extern "C"
