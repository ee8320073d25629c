#include "CDIBPalette.h"

#include "CDIB.h"
#include "AfxModuleState.h"
#include "ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace imaging_test;

namespace {

// The reasons a case expects.
using enum DIBRefusal;

PALETTEENTRY FileEntry(int i) {
  return PALETTEENTRY{static_cast<BYTE>(i * 7), static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i % 3)};
}

struct Chunk {
  std::string id;
  Bytes data;
};

Bytes ChunkBytes(const Chunk& chunk) {
  Bytes out(chunk.id.begin(), chunk.id.end());
  out.resize(8);
  Put<DWORD>(out, 4, static_cast<DWORD>(chunk.data.size()));
  out.insert(out.end(), chunk.data.begin(), chunk.data.end());
  if (out.size() % 2) out.push_back(0);  // RIFF pads chunk data to an even length
  return out;
}

// version, count, then `entries` entries (count unless given).
Bytes PaletteRecord(WORD version, WORD count, int entries = -1) {
  Bytes record(4);
  Put<WORD>(record, 0, version);
  Put<WORD>(record, 2, count);
  for (int i = 0; i < (entries < 0 ? count : entries); ++i) {
    const PALETTEENTRY e = FileEntry(i);
    record.insert(record.end(), {e.peRed, e.peGreen, e.peBlue, e.peFlags});
  }
  return record;
}

Bytes RiffForm(const std::string& form, const std::vector<Chunk>& chunks) {
  Bytes body(form.begin(), form.end());
  for (const Chunk& c : chunks) {
    const Bytes b = ChunkBytes(c);
    body.insert(body.end(), b.begin(), b.end());
  }
  return ChunkBytes(Chunk{"RIFF", body});
}

Bytes PaletteFile(const Bytes& record) { return RiffForm("PAL ", {{"data", record}}); }

// A palette file whose RIFF chunk and first sub-chunk claim more bytes than follow them.
Bytes Claiming(Bytes file, DWORD extra) {
  Put<DWORD>(file, 4, Get<DWORD>(file, 4) + extra);
  Put<DWORD>(file, 16, Get<DWORD>(file, 16) + extra);
  return file;
}

// A buffer whose entries show which ones a load wrote.
std::vector<PALETTEENTRY> Sentinels() { return std::vector<PALETTEENTRY>(256, PALETTEENTRY{1, 2, 3, 4}); }

bool Same(const PALETTEENTRY& a, const PALETTEENTRY& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

int LoadOpenFile(const char* path, LPPALETTEENTRY entries, CDIBPalette& palette) {
  CFile file;
  if (!file.Open(path, CFile::modeRead)) return -1;
  return palette.Load(&file, entries);
}

UINT EntryCount(const CPalette& palette) { return palette.GetPaletteEntries(0, 0, nullptr); }

}  // namespace

// One line per palette file: how many entries a 256-entry buffer receives (0: the load fails).
TEST(CDIBPaletteLoad, PaletteFiles) {
  struct Case {
    const char* what;
    Bytes file;
    int copied;
    DIBRefusal why = DIBRefusal::kNone;
  };
  Bytes leadingWave = RiffForm("WAVE", {{"data", Bytes(8, 0)}});
  const Bytes palette16 = PaletteFile(PaletteRecord(0x300, 16));
  leadingWave.insert(leadingWave.end(), palette16.begin(), palette16.end());
  const Case cases[] = {
      {"300 entries fill the buffer", PaletteFile(PaletteRecord(0x300, 300)), 256},
      {"16 entries leave the rest", PaletteFile(PaletteRecord(0x300, 16)), 16},
      {"one entry", PaletteFile(PaletteRecord(0x300, 1)), 1},
      {"data after other chunks, one of odd size",
       RiffForm("PAL ", {{"junk", Bytes(5, 9)}, {"LIST", Bytes(12, 0)}, {"data", PaletteRecord(0x300, 16)}}), 16},
      {"a RIFF form of another type first", leadingWave, 16},
      {"version 0x0100", PaletteFile(PaletteRecord(0x100, 16)), 0, kPaletteVersion},
      {"count 0", PaletteFile(PaletteRecord(0x300, 0)), 0, kNoColors},
      {"form type other than PAL", RiffForm("RMID", {{"data", PaletteRecord(0x300, 16)}}), 0, kNotAPalette},
      {"no data chunk", RiffForm("PAL ", {{"junk", PaletteRecord(0x300, 16)}}), 0, kNoPaletteData},
      {"record shorter than its count", PaletteFile(PaletteRecord(0x300, 16, 15)), 0, kRecordPastChunk},
      {"data chunk of 2 bytes", PaletteFile(Bytes{0, 3}), 0, kRecordPastChunk},
      {"data chunk longer than its record", PaletteFile([] {
         Bytes record = PaletteRecord(0x300, 16);
         record.resize(record.size() + 100, 7);
         return record;
       }()),
       16},
      {"data chunk claiming a byte more than the file holds", Claiming(palette16, 1), 0, kPaletteDataPastEnd},
      {"data chunk claiming 2 GiB", Claiming(palette16, 0x7FFFFF00), 0, kPaletteDataPastEnd},
      {"data chunk claiming 4 GiB", Claiming(palette16, 0xFFFFFF00), 0, kPaletteDataPastEnd},
      {"not RIFF at all", Bytes(64, 'x'), 0, kNotAPalette},
      {"empty file", Bytes{}, 0, kNotAPalette},
  };
  ScratchDir scratch;
  for (const Case& c : cases) {
    WriteBytes("case.pal", c.file);
    std::vector<PALETTEENTRY> buffer = Sentinels();
    CDIBPalette palette;
    EXPECT_EQ(LoadOpenFile("case.pal", buffer.data(), palette), c.copied > 0 ? 1 : 0) << c.what;
    for (int i = 0; i < 256; ++i)
      ASSERT_TRUE(Same(buffer[i], i < c.copied ? FileEntry(i) : Sentinels()[i])) << c.what << ": entry " << i;
    EXPECT_EQ(palette.GetSafeHandle(), nullptr) << c.what << ": a buffer load makes no palette";
    CFile file("case.pal", CFile::modeRead);
    EXPECT_EQ(palette.Read(file.m_hFile, buffer.data()), c.why) << c.what;
  }
}

TEST(CDIBPaletteLoad, WithoutABufferCreatesThePaletteOfAllEntries) {
  ScratchDir scratch;
  WriteBytes("300.pal", PaletteFile(PaletteRecord(0x300, 300)));
  CDIBPalette palette;
  ASSERT_EQ(LoadOpenFile("300.pal", nullptr, palette), 1);
  ASSERT_EQ(EntryCount(palette), 300u);
  PALETTEENTRY last{};
  palette.GetPaletteEntries(299, 1, &last);
  EXPECT_EQ(last.peRed, FileEntry(299).peRed);
}

// The reader reads from where the file stands and leaves the handle open for its owner.
TEST(CDIBPaletteLoad, FileHandleStaysOpen) {
  ScratchDir scratch;
  WriteBytes("16.pal", PaletteFile(PaletteRecord(0x300, 16)));
  CFile file("16.pal", CFile::modeRead);
  std::vector<PALETTEENTRY> buffer = Sentinels();
  CDIBPalette palette;
  ASSERT_EQ(palette.Load(file.m_hFile, buffer.data()), 1);
  file.SeekToBegin();
  char riff[4] = {};
  EXPECT_EQ(file.Read(riff, 4), 4u);
  EXPECT_EQ(std::string(riff, 4), "RIFF");
}

TEST(CDIBPaletteLoad, ByNameReportsWhatWentWrong) {
  ScratchDir scratch;
  WriteBytes("old.pal", PaletteFile(PaletteRecord(0x100, 16)));
  WriteBytes("good.pal", PaletteFile(PaletteRecord(0x300, 16)));
  CDIBPalette palette;
  MessageBoxes boxes;
  EXPECT_EQ(palette.Load("missing.pal"), 0);
  EXPECT_EQ(palette.Load("old.pal"), 0);
  WriteBytes("cut.pal", Claiming(PaletteFile(PaletteRecord(0x300, 16)), 4));
  EXPECT_EQ(palette.Load("cut.pal"), 0);
  EXPECT_EQ(palette.Load("good.pal"), 1);
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"missing.pal not found!", "Failed to load palette file",
                                                     "Failed to load palette file"}));
  for (const auto& box : boxes.shown()) {
    EXPECT_EQ(box.caption, AfxGetAppName());
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
  }
  EXPECT_EQ(EntryCount(palette), 16u);
}

TEST(CDIBPaletteLoad, EmptyNameAsksTheUser) {
  ScratchDir scratch;
  WriteBytes("chosen.pal", PaletteFile(PaletteRecord(0x300, 16)));
  CDIBPalette palette;
  MessageBoxes boxes;
  {
    FileDialogAnswer cancel("");
    EXPECT_EQ(palette.Load(""), 0);
    const std::vector<FileDialogAnswer::Asked> asked = cancel.asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, kOpenCaption);
    EXPECT_EQ(asked[0].types, (std::vector<std::string>{"Palette files (*.PAL)", "All files (*.*)"}));
    EXPECT_FALSE(asked[0].readOnlyShown);
#ifndef _WIN32
    EXPECT_FALSE(asked[0].save);
    EXPECT_EQ(asked[0].flags, 0x1004u);
    EXPECT_EQ(asked[0].filter, "Palette files (*.PAL)|*.PAL|All files (*.*)|*.*|");
#endif
  }
  EXPECT_TRUE(boxes.shown().empty());
  FileDialogAnswer choose("chosen.pal");
  EXPECT_EQ(palette.Load(static_cast<const char*>(nullptr)), 1);
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(EntryCount(palette), 16u);
}

TEST(CDIBPaletteCreate, TakesTheBitmapsColours) {
  ScratchDir scratch;
  WriteBytes("sixteen.bmp", BitmapFile{.clrUsed = 16}.Build());
  CDIB dib;
  ASSERT_EQ(dib.Load("sixteen.bmp"), 1);
  CDIBPalette palette;
  ASSERT_NE(palette.Create(&dib), 0);
  ASSERT_EQ(EntryCount(palette), 16u);
  PALETTEENTRY entries[16];
  palette.GetPaletteEntries(0, 16, entries);
  for (int i = 0; i < 16; ++i) {
    const RGBQUAD c = TestColor(i);
    EXPECT_TRUE(Same(entries[i], PALETTEENTRY{c.rgbRed, c.rgbGreen, c.rgbBlue, 0})) << i;
  }
  CDIB trueColour;
  ASSERT_EQ(trueColour.Load(DataPath("bmp/good/magick-bmp3-24bit.bmp").c_str()), 1);
  CDIBPalette none;
  EXPECT_EQ(none.Create(&trueColour), 0);
  EXPECT_EQ(none.GetSafeHandle(), nullptr);
}

TEST(CDIBColorTable, ABCFileTakesItsColoursFromAPaletteFile) {
  ScratchDir scratch;
  WriteBytes("colours.pal", PaletteFile(PaletteRecord(0x300, 300)));
  WriteBytes("nocolours.bmp", BitmapFile{.type = dib::kTypeBC}.Build());
  CDIB dib;
  ASSERT_EQ(dib.Load("nocolours.bmp", "colours.pal"), 1);
  for (int i = 0; i < 256; ++i) {
    const PALETTEENTRY e = FileEntry(i);
    const RGBQUAD c = dib.GetColorTable()[i];
    ASSERT_EQ((Bytes{c.rgbBlue, c.rgbGreen, c.rgbRed, c.rgbReserved}), (Bytes{e.peBlue, e.peGreen, e.peRed, e.peFlags})) << i;
  }
  // A created bitmap too; colours the file does not supply stay the grey ramp.
  WriteBytes("four.pal", PaletteFile(PaletteRecord(0x300, 4)));
  ASSERT_EQ(dib.Create(2, 2, "four.pal"), 1);
  EXPECT_EQ(dib.GetColorTable()[3].rgbRed, FileEntry(3).peRed);
  EXPECT_EQ(dib.GetColorTable()[4].rgbRed, 4);
}

// ---- Mapping a bitmap to a palette ---------------------------------------------------------

namespace {

// Four pure colours; colour-table entries 0-3 are near them in reverse order.
HPALETTE FourColours(CDIBPalette& palette, const BYTE shade = 0) {
  std::vector<BYTE> record(4 + 4 * 4);
  const PALETTEENTRY entries[4] = {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {shade, 0, 255, 0}};
  Put<WORD>(record, 0, 0x300);
  Put<WORD>(record, 2, 4);
  std::memcpy(record.data() + 4, entries, sizeof entries);
  palette.CreatePalette(reinterpret_cast<const LOGPALETTE*>(record.data()));
  return palette;
}

}  // namespace

TEST(CDIBMapColors, PixelsBecomePaletteIndicesPaddingIncluded) {
  CDIB dib;
  ASSERT_EQ(dib.Create(5, 2), 1);
  const PALETTEENTRY nearby[4] = {{10, 10, 250, 0x11}, {10, 240, 10, 0x22}, {250, 5, 5, 0x33}, {3, 3, 3, 0x44}};
  dib.SetColorTable(0, 4, nearby);
  for (int i = 0; i < 16; ++i) dib.m_pBits[i] = static_cast<BYTE>(i % 4);
  const RGBQUAD untouched = dib.GetColorTable()[4];

  CDIBPalette palette;
  FourColours(palette);
  ASSERT_EQ(dib.MapColorsToPalette(&palette), 1);
  const BYTE translate[4] = {3, 2, 1, 0};
  for (int i = 0; i < 16; ++i) ASSERT_EQ(dib.m_pBits[i], translate[i % 4]) << "byte " << i;
  EXPECT_EQ(dib.m_pBMI->bmiHeader.biClrUsed, 256u);
  EXPECT_TRUE(dib.m_bMapped);
  // Colours now those of the palette, reserved bytes as they were.
  const RGBQUAD red = dib.GetColorTable()[1];
  EXPECT_EQ((Bytes{red.rgbBlue, red.rgbGreen, red.rgbRed, red.rgbReserved}), (Bytes{0, 0, 255, 0x22}));
  EXPECT_EQ(dib.GetColorTable()[3].rgbReserved, 0x44);
  // A palette of four entries leaves the colours past them as they were.
  EXPECT_EQ(std::memcmp(&dib.GetColorTable()[4], &untouched, 4), 0);
}

TEST(CDIBMapColors, MapsOnceOnly) {
  CDIB dib;
  ASSERT_EQ(dib.Create(4, 1), 1);
  EXPECT_EQ(dib.MapColorsToPalette(nullptr), 0) << "a fresh bitmap needs a palette";
  EXPECT_FALSE(dib.m_bMapped);
  CDIBPalette first, second;
  FourColours(first);
  FourColours(second, 200);
  ASSERT_EQ(dib.MapColorsToPalette(&first), 1);
  const Bytes mapped(reinterpret_cast<BYTE*>(dib.m_pBMI), reinterpret_cast<BYTE*>(dib.m_pBMI) + dib::kHeaderBlockBytes);
  EXPECT_EQ(dib.MapColorsToPalette(&second), 1);
  EXPECT_EQ(dib.MapColorsToPalette(nullptr), 1);
  EXPECT_EQ(std::memcmp(dib.m_pBMI, mapped.data(), mapped.size()), 0);
}
