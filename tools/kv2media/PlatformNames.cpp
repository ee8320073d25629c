#include "PlatformNames.h"

#include <clocale>
#include <cwctype>

#include <locale.h>

namespace {

// The jamo a syllable is composed of, and where the syllables begin.
constexpr char32_t kLeadFirst = 0x1100, kVowelFirst = 0x1161, kTailFirst = 0x11A7, kSyllableFirst = 0xAC00;
constexpr char32_t kLeads = 19, kVowels = 21, kTails = 28;

// Case by the Unicode tables alone, whatever the user's locale.
locale_t UnicodeCase() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  return locale;
}

char32_t Upcased(char32_t c) {
  // The file system's table covers the characters of 16 bits only.
  if (c > 0xFFFF || UnicodeCase() == locale_t{}) return c >= U'a' && c <= U'z' ? c - 0x20 : c;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), UnicodeCase()));
}

bool IsLead(char32_t c) { return c >= kLeadFirst && c < kLeadFirst + kLeads; }
bool IsVowel(char32_t c) { return c >= kVowelFirst && c < kVowelFirst + kVowels; }
bool IsTail(char32_t c) { return c > kTailFirst && c < kTailFirst + kTails; }
bool IsSyllableWithoutTail(char32_t c) {
  return c >= kSyllableFirst && c < kSyllableFirst + kLeads * kVowels * kTails && (c - kSyllableFirst) % kTails == 0;
}

}  // namespace

std::u32string FoldedName(const std::string& strName, const CodePage& codePage) {
  std::u32string points;
  if (!codePage.ToCodePoints(strName, points)) {
    for (const char c : strName) points += Upcased(static_cast<unsigned char>(c));
    return points;
  }
  for (char32_t& c : points) c = Upcased(c);
  return points;
}

bool SameName(const std::string& a, const std::string& b, const CodePage& codePage) {
  return FoldedName(a, codePage) == FoldedName(b, codePage);
}

std::string ComposedHangul(const std::string& utf8) {
  std::u32string points;
  if (!CodePage::Utf8ToCodePoints(utf8, points)) return utf8;
  std::u32string composed;
  for (const char32_t c : points) {
    const char32_t last = composed.empty() ? 0 : composed.back();
    if (IsLead(last) && IsVowel(c))
      composed.back() = kSyllableFirst + ((last - kLeadFirst) * kVowels + (c - kVowelFirst)) * kTails;
    else if (IsSyllableWithoutTail(last) && IsTail(c))
      composed.back() = last + (c - kTailFirst);
    else
      composed += c;
  }
  return CodePage::CodePointsToUtf8(composed);
}
