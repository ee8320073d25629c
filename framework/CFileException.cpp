#include "CFileException.h"

int CFileException::OsErrorToException(LONG lOsError) {
  switch (lOsError) {
    case 0: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_NO_MORE_FILES: return directoryFull;
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
  }
}

void CFileException::ThrowOsError(LONG lOsError, const char* pszFileName) {
  throw CFileException(OsErrorToException(lOsError), lOsError, pszFileName);
}

CString CFileException::GetErrorMessage() const {
  static const char* const reasons[] = {
      "No error occurred.",
      "An unspecified error occurred.",
      "The file could not be found.",
      "All or part of the path is invalid.",
      "Too many files are open.",
      "Access to the file was denied.",
      "The file handle is invalid.",
      "The current working directory cannot be removed.",
      "There are no more directory entries.",
      "An error occurred while setting the file position.",
      "A hardware error occurred.",
      "A sharing violation occurred.",
      "A locking violation occurred.",
      "The disk is full.",
      "The end of the file was reached.",
  };
  const char* reason = m_cause >= 0 && m_cause <= endOfFile ? reasons[m_cause] : reasons[genericException];
  return Describe(m_strFileName, reason);
}
