#include "CDIB.h"

#include "AfxModuleState.h"
#include "ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

using namespace imaging_test;

namespace {

// A 10 × 3 bitmap with every byte of its header block and its pixels set.
void Fill(CDIB& dib) {
  ASSERT_EQ(dib.Create(10, 3), 1);
  for (int i = 0; i < 256; ++i) dib.GetColorTable()[i] = TestColor(i);
  const Bytes pixels = TestPixels(10, 3);
  std::memcpy(dib.m_pBits, pixels.data(), pixels.size());
}

Bytes Saved(CDIB& dib, BOOL bColorTable) {
  {
    CFile file("saved.bin", CFile::modeCreate | CFile::modeWrite);
    EXPECT_EQ(dib.SaveToFile(&file, bColorTable), 1);
  }
  return ReadBytes("saved.bin");
}

}  // namespace

TEST(CDIBSave, WritesBothLayouts) {
  struct Case {
    BOOL bColorTable;
    WORD type;
    DWORD offBits;
  };
  ScratchDir scratch;
  CDIB dib;
  Fill(dib);
  for (const Case c : {Case{TRUE, dib::kTypeBM, 1078}, Case{FALSE, dib::kTypeBC, 54}}) {
    const Bytes file = Saved(dib, c.bColorTable);
    ASSERT_EQ(file.size(), c.offBits + 36) << c.offBits;
    EXPECT_EQ(Get<WORD>(file, 0), c.type);
    EXPECT_EQ(Get<DWORD>(file, 2), c.offBits + 36);
    EXPECT_EQ(Get<DWORD>(file, 6), 0u) << "reserved words";
    EXPECT_EQ(Get<DWORD>(file, 10), c.offBits);
    EXPECT_EQ(std::memcmp(file.data() + 14, dib.m_pBMI, c.offBits - 14), 0);
    EXPECT_EQ(std::memcmp(file.data() + c.offBits, dib.m_pBits, 36), 0);
  }
}

TEST(CDIBSave, RoundTripsThroughTheLoader) {
  ScratchDir scratch;
  CDIB sixteen;
  ASSERT_EQ(sixteen.Load(DataPath("bmp/good/magick-bmp2-8bit.bmp").c_str()), 1);
  sixteen.m_pBMI->bmiHeader.biClrUsed = 16;
  CDIB full;
  Fill(full);
  for (CDIB* source : {&full, &sixteen}) {
    const int n = source->GetNumColors();
    const std::size_t pixels = static_cast<std::size_t>(source->GetHeight()) * ((source->GetWidth() + 3) & ~3);
    for (BOOL bColorTable : {TRUE, FALSE}) {
      Saved(*source, bColorTable);
      CDIB loaded;
      {
        CFile file("saved.bin", CFile::modeRead);
        ASSERT_EQ(loaded.LoadFromFile(&file, nullptr, FALSE, 0), 1);
      }
      EXPECT_EQ(std::memcmp(loaded.m_pBMI, source->m_pBMI, 40), 0);
      EXPECT_EQ(std::memcmp(loaded.m_pBits, source->m_pBits, pixels), 0);
      for (int i = 0; i < n; ++i) {
        const RGBQUAD expected = bColorTable ? source->GetColorTable()[i] : RGBQUAD{0, 0, 0, 0};
        ASSERT_EQ(std::memcmp(&loaded.GetColorTable()[i], &expected, 4), 0) << n << " colours, entry " << i;
      }
    }
  }
}

// A bitmap loaded at another depth saves every row at that depth, and loads again.
TEST(CDIBSave, ABitmapOfAnotherDepthRoundTripsAtItsDepth) {
  ScratchDir scratch;
  CDIB source;
  ASSERT_EQ(source.Load(DataPath("bmp/good/magick-bmp3-24bit.bmp").c_str()), 1);
  ASSERT_EQ(source.m_pBMI->bmiHeader.biBitCount, 24);
  const std::size_t pixels = static_cast<std::size_t>(source.GetHeight()) * ((source.GetWidth() * 3 + 3) & ~3);
  for (BOOL bColorTable : {TRUE, FALSE}) {
    const Bytes file = Saved(source, bColorTable);
    ASSERT_EQ(file.size(), Get<DWORD>(file, 10) + pixels) << bColorTable;
    EXPECT_EQ(Get<DWORD>(file, 2), file.size());
    CDIB loaded;
    {
      CFile in("saved.bin", CFile::modeRead);
      ASSERT_EQ(loaded.LoadFromFile(&in, nullptr, FALSE, 0), 1) << bColorTable;
    }
    EXPECT_EQ(std::memcmp(loaded.m_pBMI, source.m_pBMI, 40), 0);
    EXPECT_EQ(std::memcmp(loaded.m_pBits, source.m_pBits, pixels), 0);
  }
}

TEST(CDIBFileType, KnownExtensions) {
  struct Case {
    const char* path;
    int type;
  };
  const Case cases[] = {
      {"picture.bmp", 1}, {"PICTURE.BM", 2}, {"x.bmz", 3}, {"x.BMC", 4},     {"x.gif", 5},
      {"x.Tif", 6},       {"x.JPG", 7},      {"x.bmpx", 1}, {"a.b\\c.bm", 2}, {"a.jpg.bmc", 4},
  };
  for (const Case& c : cases) EXPECT_EQ(CDIB::GetFileType(c.path), c.type) << c.path;
}

TEST(CDIBFileType, UnknownExtensionsAreReported) {
  for (const char* path : {"x.dib", "x.jpeg", "C:\\dir.d\\file", "noextension", "x.b"}) {
    MessageBoxes boxes;
    EXPECT_EQ(CDIB::GetFileType(path), 0) << path;
    ASSERT_EQ(boxes.shown().size(), 1u) << path;
    EXPECT_EQ(boxes.shown()[0].text, std::string("Unrecognized bitmap file type - \"") + path + "\"");
    EXPECT_EQ(boxes.shown()[0].caption, AfxGetAppName());
    EXPECT_EQ(boxes.shown()[0].type, static_cast<UINT>(MB_OK));
  }
}

// The message fits 255 characters: a long path keeps its end, from a folder boundary.
TEST(CDIBFileType, ALongPathIsShortenedInTheMessage) {
  const std::string path = "C:\\" + std::string(300, 'd') + "\\skins\\face.xyz";
  MessageBoxes boxes;
  EXPECT_EQ(CDIB::GetFileType(path.c_str()), 0);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "Unrecognized bitmap file type - \"...\\skins\\face.xyz\"");
  const std::string noFolders(400, 'n');
  EXPECT_EQ(CDIB::GetFileType((noFolders + ".q").c_str()), 0);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].text.size(), 255u);
  EXPECT_EQ(boxes.shown()[1].text.substr(32, 5), "\"...n");
}

TEST(CDIBSave, TheExtensionPicksTheLayout) {
  ScratchDir scratch;
  CDIB dib;
  Fill(dib);
  dib.m_strName = "kept";
  for (const auto& [name, type] : {std::pair{"face.bm", dib::kTypeBC}, {"face.bmp", dib::kTypeBM}, {"face.gif", dib::kTypeBM}}) {
    ASSERT_EQ(dib.Save(name), 1) << name;
    EXPECT_EQ(Get<WORD>(ReadBytes(name), 0), type) << name;
  }
  EXPECT_STREQ(dib.m_strName, "kept");
}

TEST(CDIBSave, UnknownExtensionIsReportedAndSavedWithColours) {
  ScratchDir scratch;
  CDIB dib;
  MessageBoxes boxes;
  ASSERT_EQ(dib.Save("face.dib"), 1);
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Unrecognized bitmap file type - \"face.dib\""});
  EXPECT_EQ(Get<WORD>(ReadBytes("face.dib"), 0), dib::kTypeBM);
}

TEST(CDIBSave, EmptyNameAsksWhereAndCancelTouchesNothing) {
  ScratchDir scratch;
  CDIB dib;
  dib.m_strName = "K2Login|LoginBk.bmp";
  MessageBoxes boxes;
  {
    FileDialogAnswer cancel("");
    EXPECT_EQ(dib.Save(""), 0);
    const std::vector<FileDialogAnswer::Asked> asked = cancel.asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, kSaveCaption);
    EXPECT_EQ(asked[0].initialName, "K2Login|LoginBk.bmp");
    EXPECT_EQ(asked[0].types, (std::vector<std::string>{"Image files (*.DIB;*.BM*)", "All files (*.*)"}));
    EXPECT_FALSE(asked[0].readOnlyShown);
#ifndef _WIN32
    EXPECT_TRUE(asked[0].save);
    EXPECT_EQ(asked[0].flags, 6u);
    EXPECT_EQ(asked[0].filter, "Image files (*.DIB;*.BM*)|*.DIB;*.BM*|All files (*.*)|*.*|");
    EXPECT_FALSE(asked[0].defaultExtension);
#endif
  }
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_TRUE(std::filesystem::is_empty("."));
  FileDialogAnswer choose("chosen.bmc");
  EXPECT_EQ(dib.Save(nullptr), 1);
  EXPECT_EQ(Get<WORD>(ReadBytes("chosen.bmc"), 0), dib::kTypeBM);
}

TEST(CDIBSave, AFileThatCannotBeCreatedIsReported) {
  ScratchDir scratch;
  CDIB dib;
  MessageBoxes boxes;
  EXPECT_EQ(dib.Save("no-such-folder\\face.bmp"), 0);
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Failed to open file"});
}

#ifndef _WIN32
// The disk fills up during the pixels: what was written stays, and the user is told. The GUI
// suite does the same on Windows, on a drive that fills up.
TEST(CDIBSave, AFailedWriteLeavesThePartialFileAndIsReported) {
  ScratchDir scratch;
  CDIB dib;
  Fill(dib);
  MessageBoxes boxes;
  rlimit previous{};
  getrlimit(RLIMIT_FSIZE, &previous);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = previous;
  small.rlim_cur = 1078 + 20;
  setrlimit(RLIMIT_FSIZE, &small);
  const int result = dib.Save("full.bmp");
  setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Failed to save file"});
  EXPECT_EQ(std::filesystem::file_size("full.bmp"), 1078u + 20u);
}
#endif
