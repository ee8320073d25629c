// An unbuffered binary file on the platform's file handle.
#pragma once

#include "CFileException.h"

class CFile : public CObject {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  CFile() = default;
  // Opens or throws a CFileException.
  CFile(const char* pszFileName, UINT nOpenFlags);
  ~CFile() override;

  // Attributes
  CString GetFilePath() const { return m_strFileName; }
  BOOL IsOpen() const { return m_hFile != hFileNull; }
  virtual DWORD GetPosition() const;
  virtual DWORD GetLength() const;

  // Operations. Open reports failure as FALSE and, when given one, a filled exception;
  // the others throw a CFileException.
  virtual BOOL Open(const char* pszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
  virtual UINT Read(void* lpBuf, UINT nCount);
  virtual void Write(const void* lpBuf, UINT nCount);
  virtual LONG Seek(LONG lOff, UINT nFrom);
  void SeekToBegin() { Seek(0, begin); }
  DWORD SeekToEnd() { return static_cast<DWORD>(Seek(0, end)); }
  virtual void Flush();
  virtual void Close();
  // Closes without throwing, whatever state the file is in.
  virtual void Abort();

  static inline const HANDLE hFileNull = INVALID_HANDLE_VALUE;
  HANDLE m_hFile = hFileNull;

 protected:
  [[noreturn]] void ThrowLastError() const;

  CString m_strFileName;
};
