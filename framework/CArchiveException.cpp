#include "CArchiveException.h"

void CArchiveException::Throw(int cause, const CString& strFileName) { throw CArchiveException(cause, strFileName); }

CString CArchiveException::GetErrorMessage() const {
  static const char* const reasons[] = {
      "No error occurred.",
      "An unspecified error occurred while reading the archive.",
      "The archive is being read; nothing can be written to it.",
      "The archive ends too early.",
      "The archive is being written; nothing can be read from it.",
      "The archive refers to an object that it does not contain.",
      "The archive names a class that this program does not know.",
      "The archive holds an object of another version.",
  };
  const char* reason = m_cause >= 0 && m_cause <= badSchema ? reasons[m_cause] : reasons[genericException];
  return Describe(m_strFileName, reason);
}
