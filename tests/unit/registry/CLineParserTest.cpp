#include "CLineParser.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

int IsComment(const char* pszLine) {
  CLineParser parser(4096);
  std::strcpy(parser.m_pszLine.get(), pszLine);
  return parser.IsComment();
}

}  // namespace

TEST(CLineParser, StartsWithItsWordsSetAndAnEmptyLineOfTheGivenSize) {
  const CLineParser parser(4096);
  EXPECT_EQ(parser.m_dwFirst, 1u);
  EXPECT_EQ(parser.m_dwSecond, 0u);
  EXPECT_EQ(parser.m_dwThird, 0u);
  EXPECT_EQ(parser.m_nBufferSize, 4096u);
  EXPECT_EQ(parser.m_pszLine[0], '\0');
}

TEST(CLineParser, IsCommentSkipsOnlySpacesAndTabs) {
  struct Case {
    const char* pszLine;
    int nComment;
  };
  for (const Case& k : {
           Case{"", 1},
           Case{"    ", 1},
           Case{" \t\t ", 1},
           Case{";", 1},
           Case{"\t  ; note", 1},
           Case{"//", 1},
           Case{" \t// note", 1},
           Case{"/ note", 0},
           Case{"/x", 0},
           Case{"/", 0},
           Case{" /;", 0},
           Case{"key;value", 0},
           Case{"key // value", 0},
           Case{"  Name=1", 0},
           Case{"7", 0},
           Case{"\r", 0},
           Case{"\n", 0},
           Case{"  \r\n", 0},
           Case{"\v;", 0},
       }) {
    EXPECT_EQ(IsComment(k.pszLine), k.nComment) << '"' << k.pszLine << '"';
  }
}

TEST(CLineParser, EndOfTheBufferEndsTheLine) {
  struct Case {
    UINT nSize;
    const char* pszFill;  // fills the whole buffer, no terminator
    int nComment;
  };
  for (const Case& k : {Case{0, "", 1}, Case{3, "  \t", 1}, Case{1, "/", 0}, Case{3, "  /", 0}, Case{2, "//", 1}}) {
    CLineParser parser(k.nSize);
    std::memcpy(parser.m_pszLine.get(), k.pszFill, k.nSize);
    EXPECT_EQ(parser.IsComment(), k.nComment) << '"' << k.pszFill << '"';
  }
}
