// An open or save file dialog: the platform's common dialog, answered through a seam natively.
#pragma once

#include "CString.h"

#include <string>

class CFileDialog {
 public:
  // lpszFilter: pairs of description and pattern separated by '|', ending in "||".
  // With no parent, the dialog belongs to the main window, if there is one.
  explicit CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                       HWND hWndParent = nullptr);
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;

  // IDOK when the user chose a file, IDCANCEL otherwise.
  int DoModal();
  // The full path chosen.
  CString GetPathName() const { return m_szFileName; }

  // The given name when there is one; otherwise asks, and rPath is the path chosen.
  // FALSE, with rPath untouched, when the user does not choose.
  static BOOL GivenOrChosen(const char* pszGiven, BOOL bOpenFileDialog, DWORD dwFlags, const char* lpszFilter,
                            const char* lpszFileName, CString& rPath);

  OPENFILENAMEA m_ofn;

 private:
  BOOL m_bOpenFileDialog;
  CString m_strDefExt;
  std::string m_strFilter;  // NUL-separated, as the platform takes it
  char m_szFileName[MAX_PATH];
};
