// Counted single-byte strings in the ANSI code page.
#pragma once

#include "win32.h"

#include <string>

class CString {
 public:
  CString() = default;
  CString(const char* psz) : m_str(psz ? psz : "") {}
  CString(const char* pch, int nLength) : m_str(pch, pch + (nLength > 0 ? nLength : 0)) {}
  CString(char ch, int nRepeat = 1) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}

  // Attributes
  int GetLength() const { return static_cast<int>(m_str.size()); }
  BOOL IsEmpty() const { return m_str.empty(); }
  char GetAt(int nIndex) const { return m_str.at(static_cast<size_t>(nIndex)); }
  char operator[](int nIndex) const { return GetAt(nIndex); }
  void SetAt(int nIndex, char ch) { m_str.at(static_cast<size_t>(nIndex)) = ch; }
  operator const char*() const { return m_str.c_str(); }

  // Assignment and concatenation
  CString& operator=(const char* psz) {
    m_str = psz ? psz : "";
    return *this;
  }
  CString& operator=(char ch) {
    m_str.assign(1, ch);
    return *this;
  }
  CString& operator+=(const CString& s) {
    m_str += s.m_str;
    return *this;
  }
  CString& operator+=(const char* psz) {
    if (psz) m_str += psz;
    return *this;
  }
  CString& operator+=(char ch) {
    m_str += ch;
    return *this;
  }
  friend CString operator+(const CString& a, const CString& b) { return CString(a) += b; }
  friend CString operator+(const CString& a, const char* b) { return CString(a) += b; }
  friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
  friend CString operator+(const CString& a, char b) { return CString(a) += b; }
  void Empty() { m_str.clear(); }

  // Comparison
  int Compare(const char* psz) const;
  int CompareNoCase(const char* psz) const;
  friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
  friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
  friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

  // Extraction
  CString Left(int nCount) const;
  CString Right(int nCount) const;
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;

  // Searching; -1 when absent
  int Find(char ch) const;
  int Find(const char* pszSub) const;
  int ReverseFind(char ch) const;

  void MakeUpper();
  void MakeLower();

  // printf-style formatting
  void Format(const char* pszFormat, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;

  // Direct access: room for at least nMinBufLength characters and a terminator. ReleaseBuffer
  // takes the new length, or -1 to measure up to the first zero.
  char* GetBuffer(int nMinBufLength);
  void ReleaseBuffer(int nNewLength = -1);

 private:
  std::string m_str;
};
