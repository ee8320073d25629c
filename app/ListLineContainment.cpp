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

}  // namespace

BOOL IsDeviceName(std::string_view component) {
  std::string_view base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (const char* pszDevice : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (EqualsIgnoringCase(base, pszDevice)) return true;
  return base.size() == 4 && (EqualsIgnoringCase(base.substr(0, 3), "COM") || EqualsIgnoringCase(base.substr(0, 3), "LPT")) &&
         base[3] >= '0' && base[3] <= '9';
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
      if (IsDeviceName(component)) return FALSE;
      ++nDepth;
    }
    if (*p != '\0') ++p;
  }
  return nDepth > 0;
}
