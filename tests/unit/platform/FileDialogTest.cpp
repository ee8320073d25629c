// The file dialogs answered through the native seam. On Windows the real dialog would wait for
// a user, so this part runs natively only.
#ifndef _WIN32

#include "native/Seams.h"
#include "win32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DialogCase {
  const char* name;
  std::optional<std::string> answer;
  const char* defExt;
  DWORD bufferSize;
  BOOL result;
  const char* file;
  WORD fileOffset;
  WORD extensionOffset;
  DWORD error;
};

const DialogCase kCases[] = {
    {"chosen", "C:\\skins\\blue.pal", nullptr, MAX_PATH, TRUE, "C:\\skins\\blue.pal", 9, 14, 0},
    {"no_extension", "C:\\skins\\blue", nullptr, MAX_PATH, TRUE, "C:\\skins\\blue", 9, 13, 0},
    {"default_extension", "C:\\skins\\blue", "pal", MAX_PATH, TRUE, "C:\\skins\\blue.pal", 9, 14, 0},
    {"dot_in_folder_only", "C:\\v1.2\\blue", nullptr, MAX_PATH, TRUE, "C:\\v1.2\\blue", 8, 12, 0},
    {"cancelled", std::nullopt, nullptr, MAX_PATH, FALSE, "", 0, 0, 0},
    {"buffer_too_small", "C:\\skins\\blue.pal", nullptr, 10, FALSE, nullptr, 0, 0, FNERR_BUFFERTOOSMALL},
};

class FileDialog : public testing::TestWithParam<DialogCase> {
 protected:
  void TearDown() override { native::SetFileDialogHandler(nullptr); }
};

TEST_P(FileDialog, FillsTheStructureFromTheAnswer) {
  const DialogCase& c = GetParam();
  BOOL askedToSave = -1;
  native::SetFileDialogHandler([&](BOOL save, const OPENFILENAMEA&) {
    askedToSave = save;
    return c.answer;
  });
  char file[MAX_PATH] = "";
  char title[MAX_PATH] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFile = file;
  ofn.nMaxFile = c.bufferSize;
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = MAX_PATH;
  ofn.lpstrDefExt = c.defExt;
  EXPECT_EQ(GetSaveFileNameA(&ofn), c.result);
  EXPECT_EQ(askedToSave, TRUE);
  EXPECT_EQ(CommDlgExtendedError(), c.error);
  if (c.file == nullptr) return;
  EXPECT_STREQ(file, c.file);
  EXPECT_EQ(ofn.nFileOffset, c.fileOffset);
  EXPECT_EQ(ofn.nFileExtension, c.extensionOffset);
  if (c.result) {
    EXPECT_STREQ(title, c.file + c.fileOffset);
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, FileDialog, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileDialogSeam, WithoutAnAnswerTheDialogIsCancelled) {
  char file[MAX_PATH] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  ofn.lStructSize = 12;
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
}

}  // namespace

#endif
