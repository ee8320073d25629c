#include "CString.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

int CString::Compare(const char* psz) const {
  const int r = std::strcmp(m_str.c_str(), psz ? psz : "");
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int CString::CompareNoCase(const char* psz) const { return lstrcmpiA(m_str.c_str(), psz); }

CString CString::Left(int nCount) const {
  nCount = std::clamp(nCount, 0, GetLength());
  return CString(m_str.data(), nCount);
}

CString CString::Right(int nCount) const {
  nCount = std::clamp(nCount, 0, GetLength());
  return CString(m_str.data() + GetLength() - nCount, nCount);
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const {
  nFirst = std::clamp(nFirst, 0, GetLength());
  nCount = std::clamp(nCount, 0, GetLength() - nFirst);
  return CString(m_str.data() + nFirst, nCount);
}

int CString::Find(char ch) const {
  const size_t pos = m_str.find(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* pszSub) const {
  const size_t pos = m_str.find(pszSub ? pszSub : "");
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
  const size_t pos = m_str.rfind(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

void CString::MakeUpper() {
  for (char& c : m_str) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void CString::MakeLower() {
  for (char& c : m_str) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

void CString::Format(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  va_list measure;
  va_copy(measure, args);
  const int n = std::vsnprintf(nullptr, 0, pszFormat, measure);
  va_end(measure);
  if (n < 0) {
    m_str.clear();
  } else {
    m_str.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(m_str.data(), m_str.size(), pszFormat, args);
    m_str.resize(static_cast<size_t>(n));
  }
  va_end(args);
}

char* CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength > GetLength()) m_str.resize(static_cast<size_t>(nMinBufLength));
  return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength) {
  if (nNewLength < 0) nNewLength = static_cast<int>(std::strlen(m_str.c_str()));
  m_str.resize(static_cast<size_t>(std::min(nNewLength, GetLength())));
}
