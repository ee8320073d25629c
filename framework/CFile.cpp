#include "CFile.h"

CFile::CFile(const char* pszFileName, UINT nOpenFlags) {
  CFileException e;
  if (!Open(pszFileName, nOpenFlags, &e)) throw e;
}

CFile::~CFile() { Abort(); }

BOOL CFile::Open(const char* pszFileName, UINT nOpenFlags, CFileException* pError) {
  Abort();
  m_strFileName = pszFileName;

  DWORD access = GENERIC_READ;
  switch (nOpenFlags & 3) {
    case modeWrite: access = GENERIC_WRITE; break;
    case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default: break;
  }
  // The compatibility mode of the original framework let everybody share the file.
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  switch (nOpenFlags & 0x70) {
    case shareExclusive: share = 0; break;
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    default: break;
  }
  DWORD disposition = OPEN_EXISTING;
  if (nOpenFlags & modeCreate) disposition = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

  const HANDLE h = CreateFileA(pszFileName, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (pError != nullptr) {
      const LONG error = static_cast<LONG>(GetLastError());
      *pError = CFileException(CFileException::OsErrorToException(error), error, pszFileName);
    }
    return FALSE;
  }
  m_hFile = h;
  return TRUE;
}

void CFile::ThrowLastError() const {
  CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0) return 0;
  DWORD read = 0;
  if (!ReadFile(m_hFile, lpBuf, nCount, &read, nullptr)) ThrowLastError();
  return read;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  DWORD written = 0;
  if (!WriteFile(m_hFile, lpBuf, nCount, &written, nullptr)) ThrowLastError();
  // A short write means the disk is full.
  if (written != nCount) throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

LONG CFile::Seek(LONG lOff, UINT nFrom) {
  const DWORD method = nFrom == begin ? FILE_BEGIN : nFrom == current ? FILE_CURRENT : FILE_END;
  const DWORD position = SetFilePointer(m_hFile, lOff, nullptr, method);
  if (position == INVALID_SET_FILE_POINTER) ThrowLastError();
  return static_cast<LONG>(position);
}

DWORD CFile::GetPosition() const {
  const DWORD position = SetFilePointer(m_hFile, 0, nullptr, FILE_CURRENT);
  if (position == INVALID_SET_FILE_POINTER) ThrowLastError();
  return position;
}

DWORD CFile::GetLength() const {
  const DWORD length = GetFileSize(m_hFile, nullptr);
  if (length == INVALID_FILE_SIZE) ThrowLastError();
  return length;
}

void CFile::Flush() {
  if (IsOpen() && !FlushFileBuffers(m_hFile)) ThrowLastError();
}

void CFile::Close() {
  if (!IsOpen()) return;
  const HANDLE h = m_hFile;
  m_hFile = hFileNull;
  if (!CloseHandle(h)) ThrowLastError();
}

void CFile::Abort() {
  if (IsOpen()) CloseHandle(m_hFile);
  m_hFile = hFileNull;
}
