// A damaged or short archive, or one that names a class this program does not know.
#pragma once

#include "CException.h"

class CArchiveException : public CException {
 public:
  enum {
    none = 0,
    genericException = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
  };

  explicit CArchiveException(int cause = none, const char* pszFileName = nullptr)
      : m_cause(cause), m_strFileName(pszFileName) {}
  CArchiveException(const CArchiveException& e) : CException(e), m_cause(e.m_cause), m_strFileName(e.m_strFileName) {}

  CString GetErrorMessage() const override;

  [[noreturn]] static void Throw(int cause, const CString& strFileName = CString());

  int m_cause;
  CString m_strFileName;
};
