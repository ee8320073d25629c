#include "CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <map>
#include <utility>

namespace {

// Code pages by the platform's numbers, UTF-8 among them; UTF-32 stands for this machine's char32_t.
constexpr UINT kUtf8CodePage = 65001;
constexpr UINT kUtf32CodePage = 12000;
const std::string kNoteKey = "codepage=";

// A byte as \xHH, added to text.
void AddEscaped(unsigned char byte, std::string& text) {
  constexpr char kHex[] = "0123456789ABCDEF";
  text += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
}

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Each converter opened once: the C library loads a converter's module at its first open and
// unloads it at its last close, which took most of the time of a name's comparison.
class Converters {
 public:
  ~Converters() {
    for (const auto& [names, cd] : m_open)
      if (cd != kNoConverter) iconv_close(cd);
  }

  // kNoConverter for a code page the C library does not know.
  iconv_t From(UINT nFrom, UINT nTo) {
    const auto [it, bNew] = m_open.try_emplace({nFrom, nTo}, kNoConverter);
    if (bNew) it->second = iconv_open(Name(nTo).c_str(), Name(nFrom).c_str());
    return it->second;
  }

 private:
  // The C library's name of a code page.
  static std::string Name(UINT nCodePage) {
    if (nCodePage == kUtf8CodePage) return "UTF-8";
    if (nCodePage == kUtf32CodePage) return std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";
    return "CP" + std::to_string(nCodePage);
  }

  std::map<std::pair<UINT, UINT>, iconv_t> m_open;
};

iconv_t Converter(UINT nFrom, UINT nTo) {
  static Converters converters;
  return converters.From(nFrom, nTo);
}

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Bytes converted into text of code units straight, without a buffer between.
template <class Text>
bool Converted(UINT nFrom, UINT nTo, const char* pBytes, std::size_t nBytes, Text& out) {
  using Unit = typename Text::value_type;
  const iconv_t cd = Converter(nFrom, nTo);
  if (cd == kNoConverter) return false;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // the initial state, whatever the last conversion left
  // Four bytes a character cover every code page, UTF-8 and UTF-32.
  out.resize((nBytes + 1) * 4 / sizeof(Unit));
  char* pIn = const_cast<char*>(pBytes);
  char* pOut = reinterpret_cast<char*>(out.data());
  std::size_t nOut = out.size() * sizeof(Unit);
  const bool ok = iconv(cd, &pIn, &nBytes, &pOut, &nOut) != static_cast<std::size_t>(-1) &&
                  iconv(cd, nullptr, nullptr, &pOut, &nOut) != static_cast<std::size_t>(-1);
  out.resize(ok ? static_cast<std::size_t>(pOut - reinterpret_cast<char*>(out.data())) / sizeof(Unit) : 0);
  return ok;
}

}  // namespace

bool CodePage::Convert(UINT nFrom, UINT nTo, const std::string& in, std::string& out) {
  // From UTF-8 to itself the C library lets characters past U+10FFFF through; to UTF-32 it does not.
  if (nFrom == kUtf8CodePage && nTo == kUtf8CodePage) {
    std::u32string points;
    if (!IsAscii(in) && !Utf8ToCodePoints(in, points)) return false;
    out = in;
    return true;
  }
  return Converted(nFrom, nTo, in.data(), in.size(), out);
}

bool CodePage::FromUtf8(const std::string& utf8, std::string& text) const { return Convert(kUtf8CodePage, m_nCodePage, utf8, text); }

bool CodePage::ToUtf8(const std::string& text, std::string& utf8) const { return Convert(m_nCodePage, kUtf8CodePage, text, utf8); }

bool CodePage::ToCodePoints(const std::string& text, std::u32string& points) const {
  // In one conversion: names are folded for every comparison.
  return CodePoints(m_nCodePage, text, points);
}

bool CodePage::Utf8ToCodePoints(const std::string& utf8, std::u32string& points) {
  return CodePoints(kUtf8CodePage, utf8, points);
}

bool CodePage::CodePoints(UINT nFrom, const std::string& text, std::u32string& points) {
  // Most messages and names are ASCII, which is UTF-8 as it stands.
  if (nFrom == kUtf8CodePage && IsAscii(text)) {
    points.assign(text.begin(), text.end());
    return true;
  }
  return Converted(nFrom, kUtf32CodePage, text.data(), text.size(), points);
}

std::string CodePage::CodePointsToUtf8(const std::u32string& points) {
  std::string utf8;
  Converted(kUtf32CodePage, kUtf8CodePage, reinterpret_cast<const char*>(points.data()), points.size() * sizeof(char32_t), utf8);
  return utf8;
}

std::string CodePage::Note() const { return kNoteKey + std::to_string(m_nCodePage) + "\r\n"; }

UINT CodePage::Noted(std::istream& note) {
  std::string line;
  if (!std::getline(note, line) || !line.starts_with(kNoteKey)) return 0;
  // Digits only, and none past the range: a number that wraps names no code page.
  UINT nCodePage = 0;
  const char* pStart = line.data() + kNoteKey.size();
  const auto [p, error] = std::from_chars(pStart, line.data() + line.size(), nCodePage);
  return error == std::errc() ? nCodePage : 0;
}

bool CodePage::IsKnown() const { return Converter(kUtf8CodePage, m_nCodePage) != kNoConverter; }

std::string CodePage::Shown(const std::string& text) const {
  std::string utf8;
  const bool bText = ToUtf8(text, utf8);
  const std::string& bytes = bText ? utf8 : text;
  std::string shown;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    // The control characters of 8 bits (U+0080 to U+009F, NEL among them) are two bytes in UTF-8.
    if (bText && byte == 0xC2 && i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) < 0xA0) {
      AddEscaped(byte, shown);
      AddEscaped(static_cast<unsigned char>(bytes[++i]), shown);
    } else if (byte >= 0x20 && byte != 0x7F && (bText || byte < 0x80)) {
      shown += bytes[i];
    } else {
      AddEscaped(byte, shown);
    }
  }
  return shown;
}
