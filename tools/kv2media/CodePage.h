// Names between the payload's file system, whose names are UTF-8, and the list file, whose lines
// are in the code page the setup's system reads them in.
#pragma once

#include "win32.h"

#include <istream>
#include <string>

class CodePage {
 public:
  explicit CodePage(UINT nCodePage) : m_nCodePage(nCodePage) {}

  UINT Number() const { return m_nCodePage; }

  // False when the text holds a character the other side cannot spell, or is no valid text.
  bool FromUtf8(const std::string& utf8, std::string& text) const;
  bool ToUtf8(const std::string& text, std::string& utf8) const;

  // The text's characters; false where it is no text in the code page.
  bool ToCodePoints(const std::string& text, std::u32string& points) const;
  static bool Utf8ToCodePoints(const std::string& utf8, std::u32string& points);
  static std::string CodePointsToUtf8(const std::u32string& points);

  // The note media carry of the code page they were laid out for, and the code page a note names
  // on its first line; 0 where it names none.
  std::string Note() const;
  static UINT Noted(std::istream& note);

  // Whether the converter knows the code page at all.
  bool IsKnown() const;

  // The text as a message shows it: UTF-8 where it converts, its bytes escaped where it does not.
  std::string Shown(const std::string& text) const;

 private:
  static bool Convert(UINT nFrom, UINT nTo, const std::string& in, std::string& out);
  static bool CodePoints(UINT nFrom, const std::string& text, std::u32string& points);

  UINT m_nCodePage;
};
