// The base of the framework's exceptions. They are thrown by value and caught by reference.
#pragma once

#include "CObject.h"
#include "CString.h"

class CException : public CObject {
 public:
  // A sentence for the user that says what failed.
  virtual CString GetErrorMessage() const = 0;

  CException(const CException&) : CObject() {}

 protected:
  CException() = default;
  // The file's name, if any, above the reason.
  static CString Describe(const CString& strFileName, const char* pszReason);
};
