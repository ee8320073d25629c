#include "CFileDialog.h"

#include "AfxModuleState.h"

#include <cstring>

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, HWND hWndParent)
    : m_ofn{}, m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt), m_szFileName{} {
  if (lpszFilter != nullptr) {
    m_strFilter = lpszFilter;
    for (char& c : m_strFilter)
      if (c == '|') c = '\0';
  }
  if (lpszFileName != nullptr) {
    std::strncpy(m_szFileName, lpszFileName, sizeof m_szFileName - 1);
  }
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.hwndOwner = hWndParent;
  m_ofn.lpstrFilter = m_strFilter.empty() ? nullptr : m_strFilter.c_str();
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = sizeof m_szFileName;
  m_ofn.lpstrDefExt = lpszDefExt != nullptr ? static_cast<const char*>(m_strDefExt) : nullptr;
  m_ofn.Flags = dwFlags;
}

int CFileDialog::DoModal() {
  if (m_ofn.hwndOwner == nullptr) m_ofn.hwndOwner = AfxGetModuleState()->m_hWndMain;
  const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
  return chosen ? IDOK : IDCANCEL;
}

BOOL CFileDialog::GivenOrChosen(const char* pszGiven, BOOL bOpenFileDialog, DWORD dwFlags, const char* lpszFilter,
                                const char* lpszFileName, CString& rPath) {
  if (pszGiven != nullptr && *pszGiven != '\0') {
    rPath = pszGiven;
    return TRUE;
  }
  CFileDialog dialog(bOpenFileDialog, nullptr, lpszFileName, dwFlags, lpszFilter);
  if (dialog.DoModal() != IDOK) return FALSE;
  rPath = dialog.GetPathName();
  return TRUE;
}
