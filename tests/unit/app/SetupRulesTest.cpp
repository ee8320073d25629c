#include "CCopyFailures.h"
#include "InstallProgress.h"
#include "ProposedFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FolderCase {
  const char* pszIniPath;
  const char* pszFolder;  // null: no folder can be proposed
};

const FolderCase kFolderCases[] = {
    {"", "C:\\Program Files\\KV2\\"},
    {"x", "C:\\Program Files\\KV2\\"},
    {"C:\\WINDOWS\\CHAT.INI", "C:\\WINDOWS\\KV2\\"},
    {"D:\\Apps\\Chat\\setup.ini", "D:\\Apps\\Chat\\KV2\\"},
    {"C:\\Apps\\", "C:\\Apps\\KV2\\"},
    {"C:\\", "C:\\KV2\\"},
    {"chat.ini", nullptr},
    {"C:", nullptr},
    {"\\chat.ini", nullptr},
};

TEST(ProposedFolder, FollowsTheProfileValue) {
  for (const FolderCase& c : kFolderCases) {
    SCOPED_TRACE(c.pszIniPath);
    CString strFolder("unchanged");
    const BOOL bProposed = FolderBeside(BaseFolder(c.pszIniPath), strFolder);
    ASSERT_EQ(bProposed, c.pszFolder != nullptr);
    if (bProposed) {
      EXPECT_STREQ(strFolder, c.pszFolder);
    }
  }
}

TEST(ProposedFolder, SearchesTheValueItselfWhenItIsLongerThanOneCharacter) {
  EXPECT_STREQ(BaseFolder("C:"), "C:");
  EXPECT_STREQ(BaseFolder("C"), "C:\\Program Files\\");
}

struct ProgressCase {
  std::vector<DWORD> lengths;
  std::vector<int> positions;
};

const ProgressCase kProgressCases[] = {
    {{100, 100, 100}, {33, 66, 100}},
    {{1, 2, 3}, {16, 50, 100}},
    {{10, 500, 90}, {1, 85, 100}},
    // The single-precision sum ends just below 100.
    {{5, 5, 5, 5, 5, 5}, {16, 33, 50, 66, 83, 99}},
    // Nothing to copy: the bar stays at 0.
    {{0, 0}, {0, 0}},
};

TEST(InstallProgress, AdvancesByEachFilesShare) {
  for (const ProgressCase& c : kProgressCases) {
    DWORD nTotal = 0;
    for (DWORD n : c.lengths) nTotal += n;
    float fPercent = 0.0f;
    std::vector<int> positions;
    for (DWORD n : c.lengths) {
      fPercent = AddShare(fPercent, n, static_cast<float>(nTotal));
      positions.push_back(ProgressPosition(fPercent));
    }
    EXPECT_EQ(positions, c.positions) << "total " << nTotal;
  }
}

TEST(CopyFailures, NamesEveryFileWhenFew) {
  CCopyFailures failures;
  EXPECT_TRUE(failures.IsEmpty());
  failures.Add("SUB\\FILE.DAT");
  EXPECT_FALSE(failures.IsEmpty());
  EXPECT_STREQ(failures.GetText(), "1 file could not be copied:\n\nSUB\\FILE.DAT");
  failures.Add("B.DAT");
  EXPECT_STREQ(failures.GetText(), "2 files could not be copied:\n\nSUB\\FILE.DAT\nB.DAT");
}

TEST(CopyFailures, NamesTheFirstOnesWhenMany) {
  CCopyFailures failures;
  const int nCount = CCopyFailures::kMaxNamesShown + 3;
  for (int i = 0; i < nCount; ++i) {
    CString strName;
    strName.Format("F%02d.DAT", i);
    failures.Add(strName);
  }
  const CString strText = failures.GetText();
  EXPECT_EQ(strText.Find("13 files could not be copied:"), 0);
  EXPECT_GE(strText.Find("F09.DAT"), 0);
  EXPECT_EQ(strText.Find("F10.DAT"), -1);
  EXPECT_EQ(strText.Right(14), "... and 3 more");
}

}  // namespace
