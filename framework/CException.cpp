#include "CException.h"

CString CException::Describe(const CString& strFileName, const char* pszReason) {
  if (strFileName.IsEmpty()) return pszReason;
  return strFileName + "\n\n" + pszReason;
}
