// A failed file operation: the framework's cause code, the platform's error and the file.
#pragma once

#include "CException.h"

class CFileException : public CException {
 public:
  enum {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
  };

  explicit CFileException(int cause = none, LONG lOsError = -1, const char* pszFileName = nullptr)
      : m_cause(cause), m_lOsError(lOsError), m_strFileName(pszFileName) {}
  CFileException(const CFileException& e)
      : CException(e), m_cause(e.m_cause), m_lOsError(e.m_lOsError), m_strFileName(e.m_strFileName) {}
  CFileException& operator=(const CFileException& e) {
    m_cause = e.m_cause;
    m_lOsError = e.m_lOsError;
    m_strFileName = e.m_strFileName;
    return *this;
  }

  CString GetErrorMessage() const override;

  static int OsErrorToException(LONG lOsError);
  [[noreturn]] static void ThrowOsError(LONG lOsError, const char* pszFileName = nullptr);

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};
