#include "CStdioFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

std::vector<std::string> Lines(CStdioFile& file) {
  std::vector<std::string> lines;
  CString line;
  while (file.ReadString(line)) lines.emplace_back(line, static_cast<size_t>(line.GetLength()));
  return lines;
}

}  // namespace

TEST(CStdioFile, ReadsLinesWithoutTheirEnds) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> lines;
  };
  const std::string longLine(5000, 'z');  // longer than the read buffer
  const Case cases[] = {
      {"LF", "a\nbb\n", {"a", "bb"}},
      {"CRLF", "a\r\nbb\r\n", {"a", "bb"}},
      {"unterminated last line", "a\nlast", {"a", "last"}},
      {"blank lines kept", "\n\r\nx\n", {"", "", "x"}},
      {"a carriage return elsewhere is text", "a\rb\n", {"a\rb"}},
      {"empty file", "", {}},
      {"spaces kept", " SUB\\FILE.DAT \n", {" SUB\\FILE.DAT "}},
      {"a line longer than the buffer", longLine + "\r\nend", {longLine, "end"}},
      {"Ctrl-Z ends the text", "a\r\nb\r\n\x1a", {"a", "b"}},
      {"Ctrl-Z ends a line and the text", "a\r\nb\x1a c\r\nd\r\n", {"a", "b"}},
      {"Ctrl-Z alone", "\x1a\r\n", {}},
      {"Ctrl-Z beyond the first buffer", longLine + "\n\x1a" + longLine, {longLine}},
  };
  TempDir dir;
  for (const Case& c : cases) {
    dir.Write("list.inf", c.text);
    CStdioFile file;
    ASSERT_TRUE(file.Open(dir.Path("list.inf").c_str(), CFile::modeRead | CFile::typeText));
    EXPECT_EQ(Lines(file), c.lines) << c.what;
  }
}

TEST(CStdioFile, RereadsTheSameLinesAfterARewind) {
  TempDir dir;
  dir.Write("list.inf", "one\r\ntwo\r\nthree");
  CStdioFile file(dir.Path("list.inf").c_str(), CFile::modeRead);
  CString line;
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ(file.GetPosition(), 5u);
  EXPECT_EQ(Lines(file), (std::vector<std::string>{"two", "three"}));
  file.Seek(0, CFile::begin);
  EXPECT_EQ(Lines(file), (std::vector<std::string>{"one", "two", "three"}));
}

TEST(CStdioFile, ReadsPastCtrlZOnlyInBinaryMode) {
  TempDir dir;
  dir.Write("list.inf", "one\r\n\x1atwo\r\n");
  CStdioFile binary(dir.Path("list.inf").c_str(), CFile::modeRead | CFile::typeBinary);
  EXPECT_EQ(Lines(binary), (std::vector<std::string>{"one", "\x1atwo"}));

  CStdioFile text(dir.Path("list.inf").c_str(), CFile::modeRead);
  char bytes[16] = {};
  EXPECT_EQ(text.Read(bytes, sizeof bytes), 5u);
  EXPECT_EQ(text.Read(bytes, sizeof bytes), 0u);
  EXPECT_EQ(text.GetPosition(), 5u);
  // A rewind reads the text again, up to the same end.
  text.SeekToBegin();
  EXPECT_EQ(Lines(text), std::vector<std::string>{"one"});
}

TEST(CFile, ReportsTheCauseAndTheFileOfAFailedOpen) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path("folder"));
  struct Case {
    std::string name;
    int cause;
  };
  // A folder opened as a file is refused on every platform, even to an administrator.
  const Case cases[] = {
      {dir.Path("missing.dat"), CFileException::fileNotFound},
      {dir.Path("folder"), CFileException::accessDenied},
  };
  for (const Case& c : cases) {
    CFile file;
    CFileException e;
    EXPECT_FALSE(file.Open(c.name.c_str(), CFile::modeRead, &e)) << c.name;
    EXPECT_EQ(e.m_cause, c.cause) << c.name;
    EXPECT_STREQ(e.m_strFileName, c.name.c_str());
    EXPECT_FALSE(file.IsOpen());
    try {
      CFile thrown(c.name.c_str(), CFile::modeRead);
      ADD_FAILURE() << "opened " << c.name;
    } catch (const CFileException& thrown) {
      EXPECT_EQ(thrown.m_cause, c.cause);
      EXPECT_NE(std::string(thrown.GetErrorMessage()).find(c.name), std::string::npos);
    }
  }
}

TEST(CFile, CreatesEmptiesWritesAndMeasures) {
  TempDir dir;
  dir.Write("out.bin", "old contents");
  const std::string path = dir.Path("out.bin");
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::shareExclusive | CFile::modeReadWrite));
  EXPECT_EQ(file.GetLength(), 0u);
  file.Write("abcdef", 6);
  EXPECT_EQ(file.GetLength(), 6u);
  EXPECT_EQ(file.Seek(2, CFile::begin), 2);
  char two[2];
  EXPECT_EQ(file.Read(two, 2), 2u);
  EXPECT_EQ(std::string(two, 2), "cd");
  EXPECT_EQ(file.Read(two, 2), 2u);
  EXPECT_EQ(file.Read(two, 2), 0u);
  file.Close();
  EXPECT_EQ(dir.Read("out.bin"), "abcdef");
}

TEST(CFile, AWriteToAFileOpenForReadingThrows) {
  TempDir dir;
  dir.Write("in.bin", "x");
  CFile file(dir.Path("in.bin").c_str(), CFile::modeRead);
  EXPECT_THROW(file.Write("y", 1), CFileException);
  EXPECT_EQ(dir.Read("in.bin"), "x");
}
