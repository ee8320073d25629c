// A file read as text, one line at a time. In text mode (unless opened with typeBinary), as the
// platform's C runtime reads text, a Ctrl-Z ends the text: old editors saved one at the end.
#pragma once

#include "CFile.h"

class CStdioFile : public CFile {
 public:
  CStdioFile() = default;
  CStdioFile(const char* pszFileName, UINT nOpenFlags);

  BOOL Open(const char* pszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;

  // The next line without its line end; a carriage return before the line feed is dropped too.
  // FALSE at the end of the file; a last line without a line end is still returned.
  BOOL ReadString(CString& rString);

  UINT Read(void* lpBuf, UINT nCount) override;
  LONG Seek(LONG lOff, UINT nFrom) override;
  DWORD GetPosition() const override;
  void Close() override;
  void Abort() override;

 private:
  // Fills the read buffer; FALSE at the end of the file or of the text.
  BOOL Fill();
  void Forget();

  char m_buffer[4096];
  UINT m_nNext = 0;
  UINT m_nEnd = 0;   // where the text in the buffer ends
  UINT m_nRead = 0;  // how much of the file the buffer holds
  bool m_bText = true;
  bool m_bTextEnded = false;
};
