#include "ListedName.h"

#include "AnsiText.h"
#include "ListLineContainment.h"

#include <string_view>

namespace {

bool IsForbidden(unsigned char c) {
  return c < 0x20 || std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos;
}

// Walked by character: in a double-byte code page a second byte may look like a separator.
bool HasForbiddenCharacter(const std::string& strName, UINT nCodePage, bool& bSeparator) {
  bSeparator = false;
  for (const char* p = strName.c_str(); *p != '\0'; p = NextChar(p, nCodePage)) {
    if (IsDBCSLeadByteEx(nCodePage, static_cast<BYTE>(*p))) continue;
    if (*p == '\\' || *p == '/') bSeparator = true;
    else if (IsForbidden(static_cast<unsigned char>(*p))) return true;
  }
  return false;
}

}  // namespace

std::string WhyNotInstallable(const std::string& strName, const CodePage& codePage) {
  if (strName.empty()) return kEmptyNameProblem;
  std::string utf8;
  if (!codePage.ToUtf8(strName, utf8)) return "not text in code page " + std::to_string(codePage.Number());
  bool bSeparator = false;
  const bool bForbidden = HasForbiddenCharacter(strName, codePage.Number(), bSeparator);
  if (!StaysInFolder(strName.c_str(), codePage.Number())) {
    if (!bSeparator && IsDeviceName(strName, codePage.Number())) return "a device name, which names a device in every folder";
    return "the setup refuses it: it would not stay inside the install folder";
  }
  if (bSeparator) return "in a subfolder, and the setup creates no folders";
  if (bForbidden) return "holds a character that file names cannot hold (a control character or <>:\"|?*)";
  const char last = strName.back();
  if (last == ' ' || last == '.') return "ends in a space or a dot, which the platform drops from file names";
  return {};
}
