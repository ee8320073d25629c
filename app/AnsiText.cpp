#include "AnsiText.h"

const char* NextChar(const char* p, UINT nCodePage) {
  return IsDBCSLeadByteEx(nCodePage, static_cast<BYTE>(*p)) && p[1] != '\0' ? p + 2 : p + 1;
}

BOOL EndsInBackslash(const char* pszText, UINT nCodePage) {
  const char* pLast = nullptr;
  for (const char* p = pszText; *p != '\0'; p = NextChar(p, nCodePage)) pLast = p;
  return pLast != nullptr && *pLast == '\\' && pLast[1] == '\0';
}
