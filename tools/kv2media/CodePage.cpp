#include "CodePage.h"

#include <iconv.h>

#include <charconv>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

namespace {

constexpr UINT kUtf8CodePage = 65001;
const char kUtf8Name[] = "UTF-8";
const std::string kNoteKey = "codepage=";

std::string Escaped(unsigned char byte) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
  return escaped;
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
  iconv_t From(const std::string& from, const std::string& to) {
    const auto [it, bNew] = m_open.try_emplace({from, to}, kNoConverter);
    if (bNew) it->second = iconv_open(to.c_str(), from.c_str());
    return it->second;
  }

 private:
  std::map<std::pair<std::string, std::string>, iconv_t> m_open;
};

iconv_t Converter(const std::string& from, const std::string& to) {
  static Converters converters;
  return converters.From(from, to);
}

}  // namespace

std::string CodePage::Name() const {
  return m_nCodePage == kUtf8CodePage ? kUtf8Name : "CP" + std::to_string(m_nCodePage);
}

bool CodePage::Convert(const std::string& from, const std::string& to, const std::string& in, std::string& out) {
  // From UTF-8 to itself the C library lets characters past U+10FFFF through; to UTF-32 it does not.
  if (from == kUtf8Name && to == kUtf8Name) {
    std::u32string points;
    if (!Utf8ToCodePoints(in, points)) return false;
    out = in;
    return true;
  }
  const iconv_t cd = Converter(from, to);
  if (cd == kNoConverter) return false;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // the initial state, whatever the last conversion left
  // Four bytes a character cover every code page and UTF-8.
  std::vector<char> buffer(in.size() * 4 + 4);
  char* pIn = const_cast<char*>(in.data());
  std::size_t nIn = in.size();
  char* pOut = buffer.data();
  std::size_t nOut = buffer.size();
  const bool ok = iconv(cd, &pIn, &nIn, &pOut, &nOut) != static_cast<std::size_t>(-1) &&
                  iconv(cd, nullptr, nullptr, &pOut, &nOut) != static_cast<std::size_t>(-1);
  if (ok) out.assign(buffer.data(), pOut);
  return ok;
}

bool CodePage::FromUtf8(const std::string& utf8, std::string& text) const { return Convert(kUtf8Name, Name(), utf8, text); }

bool CodePage::ToUtf8(const std::string& text, std::string& utf8) const { return Convert(Name(), kUtf8Name, text, utf8); }

bool CodePage::ToCodePoints(const std::string& text, std::u32string& points) const {
  std::string utf8;
  return ToUtf8(text, utf8) && Utf8ToCodePoints(utf8, points);
}

bool CodePage::Utf8ToCodePoints(const std::string& utf8, std::u32string& points) {
  std::string bytes;
  if (!Convert(kUtf8Name, "UTF-32LE", utf8, bytes)) return false;
  points.clear();
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + i);
    points += static_cast<char32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<char32_t>(p[3]) << 24);
  }
  return true;
}

std::string CodePage::CodePointsToUtf8(const std::u32string& points) {
  std::string bytes;
  for (const char32_t c : points)
    for (int nShift = 0; nShift < 32; nShift += 8) bytes += static_cast<char>((c >> nShift) & 0xFF);
  std::string utf8;
  Convert("UTF-32LE", kUtf8Name, bytes, utf8);
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

bool CodePage::IsKnown() const { return Converter(kUtf8Name, Name()) != kNoConverter; }

std::string CodePage::Shown(const std::string& text) const {
  std::string utf8;
  const bool bText = ToUtf8(text, utf8);
  const std::string& bytes = bText ? utf8 : text;
  std::string shown;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    // The control characters of 8 bits (U+0080 to U+009F, NEL among them) are two bytes in UTF-8.
    if (bText && byte == 0xC2 && i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) < 0xA0) {
      shown += Escaped(byte);
      shown += Escaped(static_cast<unsigned char>(bytes[++i]));
    } else if (byte >= 0x20 && byte != 0x7F && (bText || byte < 0x80)) {
      shown += bytes[i];
    } else {
      shown += Escaped(byte);
    }
  }
  return shown;
}
