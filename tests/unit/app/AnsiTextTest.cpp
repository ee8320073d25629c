#include "AnsiText.h"

#include <gtest/gtest.h>

namespace {

// Code page 932, where the trail byte of a double-byte character may be 0x5C: "\x95\x5C" is one
// character, not a character and a backslash.
constexpr UINT kShiftJis = 932;

TEST(AnsiText, EndsInBackslashJudgesTheLastCharacter) {
  const struct {
    const char* pszText;
    bool bEnds;
  } kCases[] = {
      {"", false},
      {"\\", true},
      {"C:\\KV2", false},
      {"C:\\KV2\\", true},
      {"C:\\\x95\x5C", false},
      {"C:\\\x95\x5C\\", true},
      {"C:\\\x95\x5C\x5C", true},
      // A lead byte with nothing after it is a character of its own.
      {"C:\\\x95", false},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(EndsInBackslash(c.pszText, kShiftJis), c.bEnds ? TRUE : FALSE) << c.pszText;
}

}  // namespace
