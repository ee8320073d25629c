#include "AfxCallGuarded.h"

#include "AfxMessageBox.h"

void AfxReportException(const CException& e) noexcept {
  try {
    AfxMessageBox(e.GetErrorMessage(), MB_OK | MB_ICONEXCLAMATION);
  } catch (...) {
    AfxReportException("An unexpected error occurred.");
  }
}

void AfxReportException(const char* pszMessage) noexcept { AfxMessageBox(pszMessage, MB_OK | MB_ICONEXCLAMATION); }
