#include "ListLineContainment.h"

#include "AnsiText.h"

#include <cctype>
#include <string>
#include <string_view>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// The superscript digits one, two and three in the code pages that spell them: the platform
// reserves COM and LPT with these too.
struct Superscripts {
  UINT nCodePage;
  const char* pszDigits[3];
};
constexpr Superscripts kSuperscripts[] = {
    {949, {"\xA9\xF6", "\xA9\xF7", "\xA9\xF8"}}, {1252, {"\xB9", "\xB2", "\xB3"}},
    {1253, {"", "\xB2", "\xB3"}},                   {1254, {"\xB9", "\xB2", "\xB3"}},
    {1255, {"\xB9", "\xB2", "\xB3"}},               {1256, {"\xB9", "\xB2", "\xB3"}},
    {1257, {"\xB9", "\xB2", "\xB3"}},               {1258, {"\xB9", "\xB2", "\xB3"}},
};

bool IsPortNumber(std::string_view number, UINT nCodePage) {
  if (number.size() == 1 && number[0] >= '0' && number[0] <= '9') return true;
  if (nCodePage == CP_ACP) nCodePage = GetACP();
  for (const Superscripts& s : kSuperscripts)
    if (s.nCodePage == nCodePage)
      for (const char* pszDigit : s.pszDigits)
        if (*pszDigit != '\0' && number == pszDigit) return true;
  return false;
}

}  // namespace

BOOL IsDeviceName(std::string_view component, UINT nCodePage) {
  std::string_view base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (const char* pszDevice : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (EqualsIgnoringCase(base, pszDevice)) return true;
  return base.size() > 3 && (EqualsIgnoringCase(base.substr(0, 3), "COM") || EqualsIgnoringCase(base.substr(0, 3), "LPT")) &&
         IsPortNumber(base.substr(3), nCodePage);
}

BOOL StaysInFolder(const char* pszLine, UINT nCodePage) {
  if (IsSeparator(pszLine[0])) return FALSE;
  int nDepth = 0;
  for (const char* p = pszLine; *p != '\0';) {
    const char* pStart = p;
    bool bDotsAndSpaces = true;
    for (; *p != '\0' && !IsSeparator(*p); p = NextChar(p, nCodePage)) {
      if (*p == ':') return FALSE;
      if (*p != '.' && *p != ' ') bDotsAndSpaces = false;
    }
    const std::string_view component(pStart, static_cast<size_t>(p - pStart));
    if (component == "..") {
      if (--nDepth < 0) return FALSE;
    } else if (bDotsAndSpaces) {
      // An empty component (doubled separator) or "." stays where it is.
      if (!component.empty() && component != ".") return FALSE;
    } else {
      if (IsDeviceName(component, nCodePage)) return FALSE;
      ++nDepth;
    }
    if (*p != '\0') ++p;
  }
  return nDepth > 0;
}
