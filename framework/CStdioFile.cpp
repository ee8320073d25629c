#include "CStdioFile.h"

#include <algorithm>
#include <cstring>

CStdioFile::CStdioFile(const char* pszFileName, UINT nOpenFlags) {
  CFileException e;
  if (!Open(pszFileName, nOpenFlags, &e)) throw e;
}

BOOL CStdioFile::Open(const char* pszFileName, UINT nOpenFlags, CFileException* pError) {
  m_nNext = m_nEnd = 0;
  return CFile::Open(pszFileName, nOpenFlags & ~static_cast<UINT>(typeText), pError);
}

BOOL CStdioFile::Fill() {
  m_nNext = 0;
  m_nEnd = CFile::Read(m_buffer, sizeof m_buffer);
  return m_nEnd != 0;
}

BOOL CStdioFile::ReadString(CString& rString) {
  std::string line;
  bool any = false;
  for (;;) {
    if (m_nNext == m_nEnd && !Fill()) break;
    any = true;
    const char* start = m_buffer + m_nNext;
    const char* stop = static_cast<const char*>(std::memchr(start, '\n', m_nEnd - m_nNext));
    if (stop == nullptr) {
      line.append(start, m_nEnd - m_nNext);
      m_nNext = m_nEnd;
      continue;
    }
    line.append(start, stop);
    m_nNext = static_cast<UINT>(stop - m_buffer) + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    rString = CString(line.data(), static_cast<int>(line.size()));
    return TRUE;
  }
  rString = CString(line.data(), static_cast<int>(line.size()));
  return any ? TRUE : FALSE;
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount) {
  const UINT buffered = std::min(nCount, m_nEnd - m_nNext);
  std::memcpy(lpBuf, m_buffer + m_nNext, buffered);
  m_nNext += buffered;
  return buffered + (buffered < nCount ? CFile::Read(static_cast<char*>(lpBuf) + buffered, nCount - buffered) : 0);
}

LONG CStdioFile::Seek(LONG lOff, UINT nFrom) {
  // A relative seek counts from what the reader has consumed, not from what it has buffered.
  if (nFrom == current) lOff -= static_cast<LONG>(m_nEnd - m_nNext);
  m_nNext = m_nEnd = 0;
  return CFile::Seek(lOff, nFrom);
}

DWORD CStdioFile::GetPosition() const { return CFile::GetPosition() - (m_nEnd - m_nNext); }

void CStdioFile::Close() {
  m_nNext = m_nEnd = 0;
  CFile::Close();
}

void CStdioFile::Abort() {
  m_nNext = m_nEnd = 0;
  CFile::Abort();
}
