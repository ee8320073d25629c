#include "win32.h"

#include <gtest/gtest.h>

namespace {

// Names compared as the platform compares them in code page 1252: its accented letters and its
// letters beyond Latin-1 fold too, signs that look alike do not.
TEST(PlatformStrings, CompareNamesIgnoringCaseInTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP();
  struct Pair {
    const char* pszA;
    const char* pszB;
    bool bSame;
  };
  const Pair pairs[] = {
      {"readme.TXT", "README.txt", true}, {"caf\xE9", "CAF\xC9", true}, {"\x8A", "\x9A", true},
      {"\xFF", "\x9F", true},             {"\xD7", "\xF7", false},      {"a", "b", false},
  };
  for (const Pair& pair : pairs)
    EXPECT_EQ(lstrcmpiA(pair.pszA, pair.pszB) == 0, pair.bSame) << pair.pszA << " " << pair.pszB;
}

}  // namespace
