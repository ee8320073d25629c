#include "CDIB.h"

#include "ImageArchiveFormat.h"
#include "ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace imaging_test;

namespace {

// The reasons a case expects.
using enum DIBRefusal;

struct Member {
  std::string name;  // copied into the 16 name bytes as they are, terminator or not
  LONG width;        // of the bitmap stored; 0 for an entry whose offset is given instead
  DWORD offset = 0;
};

// A plain archive: header, directory, then the bitmaps in order, starting at `first`.
Bytes MakeArchive(const std::vector<Member>& members, std::size_t first = 0, int count = -1) {
  Bytes archive(16 + 20 * members.size(), 0);
  std::memcpy(archive.data(), "DS", 2);
  Put<WORD>(archive, 8, static_cast<WORD>(count < 0 ? members.size() : count));
  archive.resize(std::max(archive.size(), first), 0);
  for (std::size_t i = 0; i < members.size(); ++i) {
    const std::size_t entry = 16 + 20 * i;
    std::memcpy(archive.data() + entry, members[i].name.data(), std::min<std::size_t>(members[i].name.size(), 16));
    DWORD offset = members[i].offset;
    if (members[i].width > 0) {
      offset = static_cast<DWORD>(archive.size());
      const Bytes bitmap = BitmapFile{.width = members[i].width}.Build();
      archive.insert(archive.end(), bitmap.begin(), bitmap.end());
    }
    Put<DWORD>(archive, entry + 16, offset);
  }
  return archive;
}

}  // namespace

TEST(CDIBArchive, NamedMemberOfTheArchiveInTheCurrentDirectoryLoadsIgnoringCase) {
  ScratchDir scratch;
  WriteBytes("K2Login.kds", ReadBytes(DataPath("kds/good/roses.kds")));
  CDIB plain, member, upper;
  ASSERT_EQ(plain.Load(DataPath("bmp/good/magick-bmp3-8bit.bmp").c_str()), 1);
  ASSERT_EQ(member.Load("K2Login|LoginBk.bmp"), 1);
  EXPECT_STREQ(member.m_strName, "K2Login|LoginBk.bmp");
  EXPECT_EQ(std::memcmp(member.m_pBMI, plain.m_pBMI, dib::kHeaderBlockBytes), 0);
  EXPECT_EQ(std::memcmp(member.m_pBits, plain.m_pBits, 40 * 23), 0);
  ASSERT_EQ(upper.Load("K2Login|LOGINBK.BMP"), 1);
  EXPECT_EQ(std::memcmp(upper.m_pBits, plain.m_pBits, 40 * 23), 0);
}

// mscompress wrote this one: the whole archive is one SZDD stream, and its first member lies
// 600 bytes into the expanded data.
TEST(CDIBArchive, CompressedArchiveLoadsItsMembersFromTheExpandedStream) {
  ScratchDir scratch;
  WriteBytes("skin.kds", ReadBytes(DataPath("kds/good/roses-mscompress.kds")));
  for (const char* name : {"LoginBk.bmp", "BtnOK.bmp"}) {
    CDIB fromPlain, fromCompressed;
    ASSERT_EQ(fromPlain.LoadFromArchive(DataPath("kds/good/roses.kds").c_str(), name, nullptr), 1) << name;
    ASSERT_EQ(fromCompressed.Load((std::string("skin|") + name).c_str()), 1) << name;
    EXPECT_EQ(std::memcmp(fromCompressed.m_pBMI, fromPlain.m_pBMI, dib::kHeaderBlockBytes), 0) << name;
    EXPECT_EQ(std::memcmp(fromCompressed.m_pBits, fromPlain.m_pBits, 40 * 23), 0) << name;
  }
  // Each lookup opens two expansion readers over the same file; neither may stay behind.
  for (int i = 0; i < 40; ++i) {
    CDIB dib;
    ASSERT_EQ(dib.Load("skin|BtnOK.bmp"), 1) << "load " << i;
  }
}

TEST(CDIBArchive, TheFirstBarSplitsArchiveAndMember) {
  ScratchDir scratch;
  WriteBytes("a.kds", MakeArchive({{"b", 3}, {"b|c", 7}}));
  CDIB dib;
  ASSERT_EQ(dib.Load("a|b|c"), 1);
  EXPECT_EQ(dib.GetWidth(), 7);
  EXPECT_STREQ(dib.m_strName, "a|b|c");
}

// One line per directory: the member asked for, and the width that loads (0: the load fails).
TEST(CDIBArchive, DirectoryLookups) {
  struct Case {
    const char* what;
    Bytes archive;
    const char* member;
    LONG width;
    DIBRefusal why;
  };
  Bytes shortDirectory = MakeArchive({{"a.bmp", 3}, {"b.bmp", 4}});
  Put<WORD>(shortDirectory, 8, 2000);
  Bytes notAnArchive = MakeArchive({{"a.bmp", 3}});
  std::memcpy(notAnArchive.data(), "XS", 2);
  const std::string sixteen = "abcdefghijklmnop";
  const Case cases[] = {
      {"two entries of one name: the first", MakeArchive({{"Twin.bmp", 3}, {"TWIN.BMP", 9}}), "twin.bmp", 3, kNone},
      {"no entries", MakeArchive({}), "a.bmp", 0, kMemberNotFound},
      {"no entry of that name", MakeArchive({{"a.bmp", 3}}), "b.bmp", 0, kMemberNotFound},
      {"15 characters match", MakeArchive({{"abcdefghijklmno", 6}}), "abcdefghijklmno", 6, kNone},
      {"16 characters never match", MakeArchive({{sixteen, 6}}), sixteen.c_str(), 0, kMemberNotFound},
      {"a longer name is not cut to fit", MakeArchive({{"abcdefghijklmno", 6}}), "abcdefghijklmnopq", 0, kMemberNotFound},
      {"a directory cut short", shortDirectory, "a.bmp", 0, kDirectoryPastEnd},
      {"a member past the end", MakeArchive({{"far.bmp", 0, 100000}}), "far.bmp", 0, kMemberPastEnd},
      {"a member offset past 2 GB", MakeArchive({{"far.bmp", 0, 0xFFFFFFF0}}), "far.bmp", 0, kMemberOffset},
      {"a member that is not a bitmap", MakeArchive({{"self.bmp", 0, 0}}), "self.bmp", 0, kNotABitmap},
      {"neither DS nor SZ", notAnArchive, "a.bmp", 0, kNotAnArchive},
      {"shorter than its header", Bytes{'D', 'S', 0, 0, 0, 0, 0, 0, 1}, "a.bmp", 0, kHeaderCut},
  };
  ScratchDir scratch;
  for (const Case& c : cases) {
    WriteBytes("case.kds", c.archive);
    CDIB dib;
    dib.m_strName = "kept";
    const Snapshot before(dib);
    const int result = dib.LoadFromArchive("case.kds", c.member, nullptr);
    EXPECT_EQ(result, c.width > 0 ? 1 : 0) << c.what;
    if (c.width > 0) EXPECT_EQ(dib.GetWidth(), c.width) << c.what;
    else EXPECT_TRUE(Unchanged(dib, before)) << c.what;
    EXPECT_STREQ(dib.m_strName, "kept") << c.what;
    CDIB reader;
    EXPECT_EQ(reader.ReadArchiveMemberFromPath("case.kds", c.member), c.why) << c.what;
  }
}

TEST(CDIBArchive, MissingArchiveFails) {
  ScratchDir scratch;
  CDIB dib;
  EXPECT_EQ(dib.Load("nowhere|a.bmp"), 0);
  EXPECT_STREQ(dib.m_strName, "nowhere|a.bmp");
  EXPECT_EQ(dib.ReadArchiveMemberFromPath("nowhere.kds", "a.bmp"), kCannotOpen);
}
