// LZ expansion of SZDD files: the same expectations hold for the platform's expansion library
// under Wine and for the native stand-in.
#include "platform/PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class Opens { Compressed, Plain, Refused };

struct SzddCase {
  const char* fixture;
  Opens opens;
  INT initError;         // LZInit's result when refused
  const char* expected;  // fixture holding the expansion, or null for none
  std::size_t length;    // how much of it comes out; npos: all of it
  LONG seekEnd;          // LZSeek(lz, 0, 2)
};

constexpr auto kAll = std::string::npos;

// Compressed fixtures come from the mscompress tool; the bad ones are cut or altered copies.
const SzddCase kCases[] = {
    {"szdd/good/text.txt_", Opens::Compressed, 0, "szdd/good/text.txt", kAll, 2578},
    {"szdd/good/pattern.bin_", Opens::Compressed, 0, "szdd/good/pattern.bin", kAll, 20000},
    {"szdd/good/noise.bin_", Opens::Compressed, 0, "szdd/good/noise.bin", kAll, 6000},
    {"szdd/good/spaces.txt_", Opens::Compressed, 0, "szdd/good/spaces.txt", kAll, 380},
    {"szdd/good/picture.bmp_", Opens::Compressed, 0, "szdd/good/picture.bmp", kAll, 598},
    // Shorter than a header: not compressed, read as it is.
    {"szdd/bad/truncated-header.bmp_", Opens::Plain, 0, "szdd/bad/truncated-header.bmp_", kAll, 10},
    {"szdd/bad/wrong-magic.bmp_", Opens::Plain, 0, "szdd/bad/wrong-magic.bmp_", kAll, 283},
    {"szdd/bad/header-only.bmp_", Opens::Compressed, 0, nullptr, 0, 598},
    {"szdd/bad/truncated-stream.bmp_", Opens::Compressed, 0, "szdd/good/picture.bmp", 295, 598},
    // The header's length bounds seeks, not reads: the data runs to its end either way.
    {"szdd/bad/short-length.bmp_", Opens::Compressed, 0, "szdd/good/picture.bmp", kAll, 100},
    {"szdd/bad/huge-length.bmp_", Opens::Compressed, 0, "szdd/good/picture.bmp", kAll, 0x7FFFFFFF},
    {"szdd/bad/negative-length.bmp_", Opens::Compressed, 0, "szdd/good/picture.bmp", kAll, LZERROR_BADVALUE},
    // Expanded by the platform's library under Wine; msexpand adds 18 bytes from a cut token.
    {"szdd/bad/garbage-stream.bin_", Opens::Compressed, 0, "szdd/bad/garbage-stream.expanded", kAll, 5000},
    {"szdd/bad/unknown-mode.bmp_", Opens::Refused, LZERROR_UNKNOWNALG, nullptr, 0, 0},
    // Claims nothing and holds a control byte whose first token is cut.
    {"szdd/bad/claims-nothing.bin_", Opens::Compressed, 0, nullptr, 0, 0},
};

// Windows fails a read that finds the expanded data at its end with LZERROR_READ (the
// platform's own conformance tests expect it); Wine returns an empty read there. The stand-in
// follows Windows. A plain file's read at its end is empty everywhere.
INT ReadAtTheEnd() { return RunningUnderWine() ? 0 : LZERROR_READ; }

class SzddFixture : public testing::TestWithParam<SzddCase> {};

TEST_P(SzddFixture, ExpandsAsTheExpansionLibraryDoes) {
  const SzddCase& c = GetParam();
  const HANDLE file = OpenForReading(FixturePath(c.fixture));
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const INT lz = LZInit(FileNumber(file));
  switch (c.opens) {
    case Opens::Compressed: EXPECT_GE(lz, 0x400); break;
    case Opens::Plain: EXPECT_EQ(lz, FileNumber(file)); break;
    case Opens::Refused:
      EXPECT_EQ(lz, c.initError);
      EXPECT_TRUE(IsOpen(file)) << "a refused file stays open";
      CloseHandle(file);
      return;
  }
  const std::string expected = c.expected ? ReadFixture(c.expected).substr(0, c.length) : std::string();
  EXPECT_EQ(ReadToEnd(lz), expected);
  EXPECT_EQ(LZRead(lz, std::vector<char>(16).data(), 16), c.opens == Opens::Plain ? 0 : ReadAtTheEnd());
  EXPECT_EQ(LZSeek(lz, 0, 2), c.seekEnd);
  LZClose(lz);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SzddFixture, testing::ValuesIn(kCases), [](const auto& info) {
  std::string name = info.param.fixture;
  name = name.substr(name.find_last_of('/') + 1);
  for (char& ch : name)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
});

class LzExpand : public testing::Test {
 protected:
  void SetUp() override {
    m_original = ReadFixture("szdd/good/pattern.bin");
    m_file = OpenForReading(FixturePath("szdd/good/pattern.bin_"));
    ASSERT_NE(m_file, INVALID_HANDLE_VALUE);
  }
  void TearDown() override { CloseHandle(m_file); }

  // An expansion state over a handle of its own, which LZClose closes.
  INT Open() { return LZInit(FileNumber(Duplicate(m_file))); }
  std::string At(LONG position, std::size_t n) const { return m_original.substr(position, n); }
  static std::string Read(INT lz, int n) {
    std::string bytes(n, '\0');
    bytes.resize(std::max(LZRead(lz, bytes.data(), n), 0));
    return bytes;
  }

  std::string m_original;
  HANDLE m_file = INVALID_HANDLE_VALUE;
};

TEST_F(LzExpand, ReadsFromTheStartWhereverTheFileStands) {
  SetFilePointer(m_file, 100, nullptr, FILE_BEGIN);
  const INT lz = Open();
  EXPECT_EQ(Read(lz, 16), At(0, 16));
  LZClose(lz);
}

TEST_F(LzExpand, PlainFileKeepsItsHandleAndIsReadFromTheStart) {
  const HANDLE plain = OpenForReading(FixturePath("szdd/good/pattern.bin"));
  SetFilePointer(plain, 100, nullptr, FILE_BEGIN);
  const INT lz = LZInit(FileNumber(plain));
  EXPECT_EQ(lz, FileNumber(plain));
  EXPECT_EQ(Read(lz, 16), At(0, 16));
  EXPECT_EQ(LZSeek(lz, 15000, 0), 15000);
  EXPECT_EQ(Read(lz, 4), At(15000, 4));
  LZClose(lz);
  EXPECT_FALSE(IsOpen(plain)) << "LZClose closes a plain file too";
}

TEST_F(LzExpand, SeeksForwardAndBackWithinTheExpandedData) {
  const INT lz = Open();
  // Across window wraps, back to the start, and within one window.
  for (const LONG position : {15000, 100, 19990, 0, 4095, 4096, 12345, 12340}) {
    ASSERT_EQ(LZSeek(lz, position, 0), position);
    EXPECT_EQ(Read(lz, 10), At(position, 10)) << "at " << position;
  }
  EXPECT_EQ(LZSeek(lz, -4, 1), 12346);
  EXPECT_EQ(Read(lz, 4), At(12346, 4));
  EXPECT_EQ(LZSeek(lz, 20000, 0), 20000);
  EXPECT_EQ(LZRead(lz, std::vector<char>(4).data(), 4), ReadAtTheEnd());
  EXPECT_EQ(LZSeek(lz, 20001, 0), LZERROR_BADVALUE);
  EXPECT_EQ(LZSeek(lz, -1, 0), LZERROR_BADVALUE);
  EXPECT_EQ(LZSeek(lz, 0, 1), 20000) << "a refused seek leaves the position";
  EXPECT_EQ(LZRead(lz, nullptr, 0), 0);
  LZClose(lz);
}

// The archive lookup keeps its state open while the loader opens a second one over the same
// file; each reads its own data.
TEST_F(LzExpand, TwoStatesOverOneFileReadTheirOwnPlaces) {
  const INT directory = Open();
  EXPECT_EQ(Read(directory, 16), At(0, 16));
  const INT member = Open();
  ASSERT_NE(member, directory);
  EXPECT_EQ(LZSeek(member, 600, 0), 600);
  EXPECT_EQ(Read(member, 14), At(600, 14));
  LZClose(member);
  EXPECT_EQ(Read(directory, 16), At(16, 16));
  LZClose(directory);
}

TEST_F(LzExpand, CloseClosesTheHandleItWasGivenOnly) {
  const HANDLE copy = Duplicate(m_file);
  LZClose(LZInit(FileNumber(copy)));
  EXPECT_FALSE(IsOpen(copy));
  EXPECT_TRUE(IsOpen(m_file));
}

TEST_F(LzExpand, HandlesAreNumberedFrom0x400SixteenAtMost) {
  std::vector<INT> open;
  for (int i = 0; i < 16; ++i) open.push_back(Open());
  for (int i = 0; i < 16; ++i) EXPECT_EQ(open[i], 0x400 + i);
  const HANDLE spare = Duplicate(m_file);
  EXPECT_EQ(LZInit(FileNumber(spare)), LZERROR_GLOBALLOC);
  EXPECT_TRUE(IsOpen(spare));
  LZClose(open[5]);
  EXPECT_EQ(LZInit(FileNumber(spare)), open[5]) << "a closed state's number is used again";
  for (const INT lz : open) LZClose(lz);
}

TEST_F(LzExpand, ClosedOrInvalidHandlesFail) {
  const INT lz = Open();
  LZClose(lz);
  char buffer[4];
  EXPECT_EQ(LZRead(lz, buffer, 4), LZERROR_BADINHANDLE);
  EXPECT_EQ(LZSeek(lz, 0, 0), LZERROR_BADINHANDLE);
  EXPECT_EQ(LZInit(-1), LZERROR_BADINHANDLE);
}

#ifndef _WIN32
// The platform's library takes a negative count as a huge one and writes past the buffer.
TEST_F(LzExpand, NegativeCountIsRefused) {
  const INT lz = Open();
  char buffer[4];
  EXPECT_EQ(LZRead(lz, buffer, -5), LZERROR_BADVALUE);
  LZClose(lz);
}
#endif

}  // namespace
