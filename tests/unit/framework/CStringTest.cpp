#include "CString.h"

#include <gtest/gtest.h>

TEST(CString, FindsCharactersFromEitherEnd) {
  const CString s("C:\\Apps\\Chat\\setup.ini");
  EXPECT_EQ(s.Find('\\'), 2);
  EXPECT_EQ(s.ReverseFind('\\'), 12);
  EXPECT_EQ(s.Find('?'), -1);
  EXPECT_EQ(s.ReverseFind('?'), -1);
  EXPECT_EQ(s.Find("Chat"), 8);
}

TEST(CString, ExtractsClampedToTheString) {
  const CString s("abcdef");
  EXPECT_STREQ(s.Left(2), "ab");
  EXPECT_STREQ(s.Right(2), "ef");
  EXPECT_STREQ(s.Left(99), "abcdef");
  EXPECT_STREQ(s.Left(-1), "");
  EXPECT_STREQ(s.Mid(4), "ef");
  EXPECT_STREQ(s.Mid(1, 2), "bc");
}

TEST(CString, FormatsAnyLength) {
  CString s;
  s.Format("RES:%d", 100);
  EXPECT_STREQ(s, "RES:100");
  const CString long300('x', 300);
  s.Format("\"%s\"", static_cast<const char*>(long300));
  EXPECT_EQ(s.GetLength(), 302);
}

TEST(CString, BufferAccessMeasuresToTheFirstZero) {
  CString s("old");
  char* p = s.GetBuffer(256);
  std::snprintf(p, 256, "%s", "C:\\WINDOWS\\CHAT.INI");
  s.ReleaseBuffer();
  EXPECT_STREQ(s, "C:\\WINDOWS\\CHAT.INI");
  EXPECT_EQ(s.GetLength(), 19);
  s.GetBuffer(10);
  s.ReleaseBuffer(2);
  EXPECT_STREQ(s, "C:");
}

TEST(CString, CountsEmbeddedZeros) {
  const CString s("a\0b", 3);
  EXPECT_EQ(s.GetLength(), 3);
  CString t;
  EXPECT_TRUE(t.IsEmpty());
  t += s;
  t += 'c';
  EXPECT_EQ(t.GetLength(), 4);
  t.Empty();
  EXPECT_TRUE(t.IsEmpty());
}
