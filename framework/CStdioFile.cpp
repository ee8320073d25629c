#include "CStdioFile.h"

#include <algorithm>
#include <cstring>

CStdioFile::CStdioFile(const char* pszFileName, UINT nOpenFlags) {
  CFileException e;
  if (!Open(pszFileName, nOpenFlags, &e)) throw e;
}

namespace {

constexpr char kEndOfText = 0x1A;  // Ctrl-Z

}  // namespace

BOOL CStdioFile::Open(const char* pszFileName, UINT nOpenFlags, CFileException* pError) {
  Forget();
  m_bText = (nOpenFlags & typeBinary) == 0;
  return CFile::Open(pszFileName, nOpenFlags & ~static_cast<UINT>(typeText | typeBinary), pError);
}

void CStdioFile::Forget() {
  m_nNext = m_nEnd = m_nRead = 0;
  m_bTextEnded = false;
}

BOOL CStdioFile::Fill() {
  // Past the end of the text the buffer still says where the file stands.
  if (m_bTextEnded) return FALSE;
  m_nNext = 0;
  m_nEnd = m_nRead = CFile::Read(m_buffer, sizeof m_buffer);
  if (m_bText)
    if (const void* pEnd = std::memchr(m_buffer, kEndOfText, m_nRead)) {
      m_nEnd = static_cast<UINT>(static_cast<const char*>(pEnd) - m_buffer);
      m_bTextEnded = true;
    }
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
  // Through the buffer, so that a read stops where the text ends.
  UINT nDone = 0;
  while (nDone < nCount && (m_nNext < m_nEnd || Fill())) {
    const UINT nPart = std::min(nCount - nDone, m_nEnd - m_nNext);
    std::memcpy(static_cast<char*>(lpBuf) + nDone, m_buffer + m_nNext, nPart);
    m_nNext += nPart;
    nDone += nPart;
  }
  return nDone;
}

LONG CStdioFile::Seek(LONG lOff, UINT nFrom) {
  // A relative seek counts from what the reader has consumed, not from what it has buffered.
  if (nFrom == current) lOff -= static_cast<LONG>(m_nRead - m_nNext);
  Forget();
  return CFile::Seek(lOff, nFrom);
}

DWORD CStdioFile::GetPosition() const { return CFile::GetPosition() - (m_nRead - m_nNext); }

void CStdioFile::Close() {
  Forget();
  CFile::Close();
}

void CStdioFile::Abort() {
  Forget();
  CFile::Abort();
}
