// Saving a bitmap onto a drive that fills up during its pixels, on the real platform.
#include "CDIB.h"
#include "CMessageBoxWatcher.h"
#include "CSmallDriveFolder.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

// What the drive keeps free once filled: a page of the tmpfs under it.
constexpr ULONGLONG kLeftFree = 4096;

}  // namespace

// What was written stays, and the user is told.
TEST(DIBSaveTest, AFailedWriteLeavesThePartialFileAndIsReported) {
  const CSmallDriveFolder drive;
  ASSERT_TRUE(drive.Mounted());
  std::filesystem::create_directory(drive.Path());
  {
    // All but one page; the filler's last page is a partial one.
    std::ofstream filler(drive.Path() + "\\filler", std::ios::binary);
    filler << std::string(drive.FreeBytes() - kLeftFree - kLeftFree / 2, 'f');
  }
  ASSERT_EQ(drive.FreeBytes(), kLeftFree);
  CDIB dib;
  ASSERT_TRUE(dib.Create(256, 64));
  const std::string path = drive.Path() + "\\full.bmp";

  CMessageBoxWatcher watcher;
  EXPECT_EQ(dib.Save(path.c_str()), 0);
  const std::vector<SeenBox> boxes = watcher.Seen();

  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to save file");
  EXPECT_TRUE(boxes[0].bOK);
  EXPECT_FALSE(boxes[0].bCancel);
  const std::string written = TempDir::ReadFile(path);
  EXPECT_GT(written.size(), 1078u);
  EXPECT_LE(written.size(), kLeftFree);
  EXPECT_EQ(written.substr(0, 2), "BM");
}
