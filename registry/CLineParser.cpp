#include "CLineParser.h"

CLineParser::CLineParser(UINT nBufferSize) : m_pszLine(new char[nBufferSize]()), m_nBufferSize(nBufferSize) {}

int CLineParser::IsComment() const {
  const char* p = m_pszLine.get();
  const char* const pEnd = p + m_nBufferSize;
  // Only spaces and tabs are blank: a line that starts with a line end is not a comment.
  while (p != pEnd && (*p == ' ' || *p == '\t')) ++p;
  if (p == pEnd || *p == '\0' || *p == ';') return 1;
  return *p == '/' && p + 1 != pEnd && p[1] == '/' ? 1 : 0;
}
