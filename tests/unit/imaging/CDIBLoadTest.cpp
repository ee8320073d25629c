#include "CDIB.h"

#include "FileSource.h"
#include "ImagingTestSupport.h"
#include "MemorySource.h"
#include "SzddCompressor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace imaging_test;

namespace {

// The reasons a case expects.
using enum DIBRefusal;

const std::string kMagickBmp3 = DataPath("bmp/good/magick-bmp3-8bit.bmp");
const std::string kMagickBmp2 = DataPath("bmp/good/magick-bmp2-8bit.bmp");
const std::string kMagick24 = DataPath("bmp/good/magick-bmp3-24bit.bmp");
const std::string kMscompressBmp3 = DataPath("bmp/good/magick-bmp3-8bit.bmp_");

int LoadFile(CDIB& dib, const std::string& path, BOOL bCompressed = FALSE, long lOffset = 0) {
  CFile file;
  if (!file.Open(path.c_str(), CFile::modeRead)) return -1;
  return dib.LoadFromFile(&file, nullptr, bCompressed, lOffset);
}

Bytes PixelRows(const CDIB& dib) {
  const std::size_t bytes = static_cast<std::size_t>(dib.GetHeight()) * ((dib.GetWidth() + 3) & ~3);
  return Bytes(dib.m_pBits, dib.m_pBits + bytes);
}

// A bitmap that a failed load must keep: not the default one, named, mapped, and adopted.
struct HeldBitmap {
  HeldBitmap() {
    dib.Create(4, 4);
    dib.AttachMemory(dib.m_pBMI, pixels);
    dib.m_strName = "held";
    dib.m_bMapped = TRUE;
  }
  BYTE pixels[16] = {};
  CDIB dib;
};

}  // namespace

// ---- Files written by ImageMagick ----------------------------------------------------------

TEST(CDIBLoadPeers, InformationHeaderFileLoadsAsWritten) {
  const Bytes file = ReadBytes(kMagickBmp3);
  ASSERT_FALSE(file.empty());
  CDIB dib;
  ASSERT_EQ(LoadFile(dib, kMagickBmp3), 1);
  EXPECT_EQ(std::memcmp(dib.m_pBMI, file.data() + 14, 40 + 4 * 256), 0);
  const DWORD offBits = Get<DWORD>(file, 10);
  EXPECT_EQ(PixelRows(dib), Bytes(file.begin() + offBits, file.end()));
  EXPECT_EQ(dib.GetWidth(), 37);
  EXPECT_TRUE(dib.m_bOwnBits);
}

TEST(CDIBLoadPeers, CoreHeaderFileIsConvertedToAnInformationHeader) {
  const Bytes file = ReadBytes(kMagickBmp2);
  CDIB dib;
  ASSERT_EQ(LoadFile(dib, kMagickBmp2), 1);
  const BITMAPINFOHEADER& h = dib.m_pBMI->bmiHeader;
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 37);
  EXPECT_EQ(h.biHeight, 23);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(h.biCompression, 0u);
  for (int i = 0; i < 256; ++i) {
    const RGBQUAD c = dib.GetColorTable()[i];
    const std::size_t at = 26 + 3 * i;
    ASSERT_EQ((Bytes{c.rgbBlue, c.rgbGreen, c.rgbRed, c.rgbReserved}), (Bytes{file[at], file[at + 1], file[at + 2], 0}))
        << "entry " << i;
  }
  EXPECT_EQ(PixelRows(dib), Bytes(file.begin() + Get<DWORD>(file, 10), file.end()));
}

TEST(CDIBLoadPeers, MscompressedFileLoadsLikeThePlainOne) {
  CDIB plain, compressed;
  ASSERT_EQ(LoadFile(plain, kMagickBmp3), 1);
  ASSERT_EQ(compressed.Load(kMscompressBmp3.c_str()), 1);
  EXPECT_EQ(std::memcmp(compressed.m_pBMI, plain.m_pBMI, dib::kHeaderBlockBytes), 0);
  EXPECT_EQ(PixelRows(compressed), PixelRows(plain));
  EXPECT_STREQ(compressed.m_strName, kMscompressBmp3.c_str());
}

// Deeper bitmaps load, so that their users can see the depth and refuse it themselves.
TEST(CDIBLoadPeers, TrueColourFileLoadsWithItsDepth) {
  CDIB dib;
  ASSERT_EQ(LoadFile(dib, kMagick24), 1);
  EXPECT_EQ(dib.m_pBMI->bmiHeader.biBitCount, 24);
  EXPECT_EQ(dib.GetNumColors(), 0);
}

// Each bad fixture, by name as a skin names it, fails for its own reason and changes nothing.
TEST(CDIBLoadPeers, BadFixturesAreRefusedForTheirReason) {
  const struct {
    const char* name;
    DIBRefusal why;
  } cases[] = {
      {"bmp/bad/magick-bmp3-rle8.bmp", kCompressedPixels},
      {"bmp/bad/magick-bmp3-4bit.bmp", kBitCount},
      {"bmp/bad/magick-bmp3-8bit-cut-at-1100.bmp", kPixelsPastEnd},
      {"szdd/bad/truncated-header.bmp_", kHeaderCut},
      {"szdd/bad/wrong-magic.bmp_", kNotABitmap},
      {"szdd/bad/header-only.bmp_", kExpansionEndsEarly},
      {"szdd/bad/truncated-stream.bmp_", kBitCount},
      {"szdd/bad/unknown-mode.bmp_", kUnreadable},
      {"szdd/bad/negative-length.bmp_", kHeaderCut},
      {"szdd/bad/garbage-stream.bin_", kNotABitmap},
  };
  for (const auto& c : cases) {
    CDIB dib;
    EXPECT_EQ(dib.ReadBitmapFromPath(DataPath(c.name).c_str()), c.why) << c.name;
    HeldBitmap held;
    const Snapshot before(held.dib);
    EXPECT_EQ(held.dib.Load(DataPath(c.name).c_str()), 0) << c.name;
    held.dib.m_strName = before.strName;
    EXPECT_TRUE(Unchanged(held.dib, before)) << c.name;
  }
}

// ---- The file layout -----------------------------------------------------------------------

TEST(CDIBLoadFile, FewerColoursAreReadAtTheirPlaceAndPixelsAtTheirOffset) {
  ScratchDir scratch;
  BitmapFile layout;
  layout.clrUsed = 16;
  layout.gap = 100;
  WriteBytes("sixteen.bmp", layout.Build());
  CDIB dib;
  ASSERT_EQ(LoadFile(dib, "sixteen.bmp"), 1);
  EXPECT_EQ(dib.GetNumColors(), 16);
  for (int i = 0; i < 256; ++i) {
    const RGBQUAD expected = i < 16 ? TestColor(i) : RGBQUAD{0, 0, 0, 0};
    ASSERT_EQ(std::memcmp(&dib.GetColorTable()[i], &expected, 4), 0) << "entry " << i;
  }
  EXPECT_EQ(PixelRows(dib), TestPixels(5, 3));
}

// 8 × 4 pixels, so that even the core-header file has the 40 bytes after its file header that
// the reader always reads.
TEST(CDIBLoadFile, BCFileLoadsWithItsColoursZero) {
  ScratchDir scratch;
  for (bool core : {false, true}) {
    WriteBytes("bc.bmp", BitmapFile{.type = dib::kTypeBC, .core = core, .width = 8, .height = 4}.Build());
    CDIB dib;
    ASSERT_EQ(LoadFile(dib, "bc.bmp"), 1) << core;
    for (int i = 0; i < 256; ++i) ASSERT_EQ(dib.GetColorTable()[i].rgbGreen, 0) << i;
    EXPECT_EQ(PixelRows(dib), TestPixels(8, 4));
  }
}

TEST(CDIBLoadFile, ReadsTheBitmapAtTheGivenOffset) {
  ScratchDir scratch;
  Bytes file(33, 0x42);
  const Bytes bitmap = BitmapFile{}.Build();
  file.insert(file.end(), bitmap.begin(), bitmap.end());
  WriteBytes("inside.bin", file);
  CDIB dib;
  EXPECT_EQ(LoadFile(dib, "inside.bin", FALSE, 0), 0);
  ASSERT_EQ(LoadFile(dib, "inside.bin", FALSE, 33), 1);
  EXPECT_EQ(PixelRows(dib), TestPixels(5, 3));
}

// A file source reads on from its own place, whoever moved the file meanwhile.
TEST(CDIBLoadFile, FileSourceReadsFromItsOwnPlace) {
  CFile file;
  ASSERT_TRUE(file.Open(kMagickBmp3.c_str(), CFile::modeRead));
  FileSource in(file, false);
  Bytes first(2), next(4);
  ASSERT_TRUE(in.Read(first.data(), 2));
  file.Seek(100, CFile::begin);
  ASSERT_TRUE(in.Read(next.data(), 4));
  const Bytes bytes = ReadBytes(kMagickBmp3);
  EXPECT_EQ(next, Bytes(bytes.begin() + 2, bytes.begin() + 6));
}

TEST(CDIBLoadFile, KeepsTheNameAndTheMappedFlag) {
  ScratchDir scratch;
  WriteBytes("plain.bmp", BitmapFile{}.Build());
  HeldBitmap held;
  ASSERT_EQ(LoadFile(held.dib, "plain.bmp"), 1);
  EXPECT_STREQ(held.dib.m_strName, "held");
  EXPECT_TRUE(held.dib.m_bMapped);
  EXPECT_TRUE(held.dib.m_bOwnBits);
  EXPECT_EQ(held.pixels[0], 0) << "adopted pixels are not released or written";
}

// Every loader must survive any bytes: each of these fails and leaves the held bitmap as it was.
TEST(CDIBLoadFile, HostileFilesAreRefusedAndChangeNothing) {
  struct Case {
    const char* what;
    std::function<Bytes()> make;
    DIBRefusal why;
  };
  const auto patched = [](auto patch, BitmapFile layout = {}) {
    return [=] {
      Bytes file = layout.Build();
      patch(file);
      return file;
    };
  };
  const auto built = [](BitmapFile layout) { return [=] { return layout.Build(); }; };
  const auto truncated = [](std::size_t size, BitmapFile layout = {}) {
    return [=] {
      Bytes file = layout.Build();
      file.resize(size);
      return file;
    };
  };
  BitmapFile core;
  core.core = true;
  const Case cases[] = {
      {"empty file", [] { return Bytes{}; }, kHeaderCut},
      {"type BA", patched([](Bytes& f) { Put<WORD>(f, 0, 0x4142); }), kNotABitmap},
      {"information header of 108 bytes", patched([](Bytes& f) { Put<DWORD>(f, 14, 108); }), kHeaderSize},
      {"information header of 124 bytes", patched([](Bytes& f) { Put<DWORD>(f, 14, 124); }), kHeaderSize},
      {"header size 0", patched([](Bytes& f) { Put<DWORD>(f, 14, 0); }), kHeaderSize},
      {"cut in the file header", truncated(10), kHeaderCut},
      {"cut in the information header", truncated(40), kHeaderCut},
      {"core header without 40 bytes after the file header", truncated(14 + 12 + 20, core), kHeaderCut},
      {"cut in the colour table", truncated(54 + 4 * 100), kColorTablePastEnd},
      {"cut in the pixels", truncated(54 + 1024 + 10), kPixelsPastEnd},
      {"bfSize below bfOffBits", patched([](Bytes& f) { Put<DWORD>(f, 2, Get<DWORD>(f, 10) - 1); }), kSizeBelowOffset},
      {"pixel size 0", patched([](Bytes& f) { Put<DWORD>(f, 2, Get<DWORD>(f, 10)); }), kRowsShort},
      {"pixels one byte short of height × stride", patched([](Bytes& f) { Put<DWORD>(f, 2, Get<DWORD>(f, 2) - 1); }), kRowsShort},
      {"bfSize beyond the end of the file", patched([](Bytes& f) { Put<DWORD>(f, 2, Get<DWORD>(f, 2) + 1); }), kPixelsPastEnd},
      {"bfSize of 4 GB", patched([](Bytes& f) { Put<DWORD>(f, 2, 0xFFFFFFFF); }), kTooLarge},
      {"bfOffBits beyond the end of the file", patched([](Bytes& f) {
         Put<DWORD>(f, 10, 0x7FFFFF00);
         Put<DWORD>(f, 2, 0x7FFFFF00 + 12);
       }), kRowsShort},
      {"width 0", built(BitmapFile{.width = 0}), kNoPixels},
      {"height 0", built(BitmapFile{.height = 0}), kNoPixels},
      {"negative width", built(BitmapFile{.width = -5}), kNoPixels},
      {"top-down rows (negative height)", built(BitmapFile{.height = -3}), kNoPixels},
      {"width and height of 2^31 - 1", built(BitmapFile{.width = 0x7FFFFFFF, .height = 0x7FFFFFFF}), kRowsShort},
      {"width × height past 64 bits at 32 bits a pixel",
       built(BitmapFile{.width = 0x7FFFFFFF, .height = 0x7FFFFFFF, .bitCount = 32}), kRowsShort},
      {"core header of width 0", built(BitmapFile{.core = true, .width = 0}), kNoPixels},
      {"1 bit a pixel", built(BitmapFile{.bitCount = 1}), kBitCount},
      {"4 bits a pixel", built(BitmapFile{.bitCount = 4}), kBitCount},
      {"0 bits a pixel", built(BitmapFile{.bitCount = 0}), kBitCount},
      {"7 bits a pixel", built(BitmapFile{.bitCount = 7}), kBitCount},
      {"RLE8 compression", built(BitmapFile{.compression = 1}), kCompressedPixels},
      {"bit fields", built(BitmapFile{.bitCount = 32, .compression = 3}), kCompressedPixels},
      {"24 bits with 300 colours", built(BitmapFile{.bitCount = 24, .clrUsed = 300}), kTooManyColors},
  };
  ScratchDir scratch;
  for (const Case& c : cases) {
    const Bytes bytes = c.make();
    WriteBytes("hostile.bmp", bytes);
    CDIB dib;
    MemorySource in(bytes.data(), bytes.size());
    EXPECT_EQ(dib.ReadBitmapFromSource(in, 0), c.why) << c.what;
    HeldBitmap held;
    const Snapshot before(held.dib);
    EXPECT_EQ(LoadFile(held.dib, "hostile.bmp"), 0) << c.what;
    EXPECT_TRUE(Unchanged(held.dib, before)) << c.what;
    // The same through the name, which also reads the first two bytes itself.
    held.dib.m_strName = "hostile.bmp";
    const Snapshot named(held.dib);
    EXPECT_EQ(held.dib.Load("hostile.bmp"), 0) << c.what;
    EXPECT_TRUE(Unchanged(held.dib, named)) << c.what;
  }
}

TEST(CDIBLoadFile, HostileOffsetsAreRefused) {
  ScratchDir scratch;
  WriteBytes("plain.bmp", BitmapFile{}.Build());
  for (long offset : {-1L, -1000L, 1L << 30}) {
    HeldBitmap held;
    const Snapshot before(held.dib);
    EXPECT_EQ(LoadFile(held.dib, "plain.bmp", FALSE, offset), 0) << offset;
    EXPECT_EQ(LoadFile(held.dib, "plain.bmp", TRUE, offset), 0) << offset;
    EXPECT_TRUE(Unchanged(held.dib, before)) << offset;
  }
}

// The SZDD header states the expanded length and the bitmap its own size; neither is believed
// beyond what the compressed data can hold, and nothing is allocated for bytes that are not there.
TEST(CDIBLoadFile, CompressedFilesClaimingMoreThanTheyHoldAreRefused) {
  const auto compressed = [](const Bytes& data) { return SzddCompressor().Compress(data.data(), data.size()); };
  // About 2 GB of pixels, 32767 × 65520, claimed by a bitmap of 20 bytes.
  Bytes hugeBitmap = BitmapFile{.width = 4, .height = 5}.Build();
  Put<LONG>(hugeBitmap, 18, 0x7FFF);
  Put<LONG>(hugeBitmap, 22, 0xFFF0);
  Put<DWORD>(hugeBitmap, 2, Get<DWORD>(hugeBitmap, 10) + 0x8000u * 0xFFF0u);
  Bytes bothLie = compressed(hugeBitmap);
  Put<DWORD>(bothLie, 10, 0x7FFFFFF0);
  const Bytes whole = compressed(BitmapFile{}.Build());
  const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
  struct Case {
    const char* what;
    Bytes file;
    DIBRefusal why;
  };
  const Case cases[] = {
      {"a bitmap claiming 2 GB of pixels", compressed(hugeBitmap), kPixelsPastEnd},
      {"the same in a stream claiming 2 GB", bothLie, kPixelsPastEnd},
      {"a stream cut in half", cut, kExpansionEndsEarly},
  };
  ScratchDir scratch;
  for (const Case& c : cases) {
    WriteBytes("liar.bm_", c.file);
    HeldBitmap held;
    const Snapshot before(held.dib);
    EXPECT_EQ(LoadFile(held.dib, "liar.bm_", TRUE), 0) << c.what;
    EXPECT_EQ(held.dib.ReadBitmapFromPath("liar.bm_"), c.why) << c.what;
    EXPECT_TRUE(Unchanged(held.dib, before)) << c.what;
  }
  WriteBytes("whole.bm_", whole);
  CDIB dib;
  EXPECT_EQ(LoadFile(dib, "whole.bm_", TRUE), 1);
}

// ---- Load by name --------------------------------------------------------------------------

TEST(CDIBLoadByName, MissingFileKeepsTheNewNameAndTheBitmap) {
  ScratchDir scratch;
  HeldBitmap held;
  const Snapshot before(held.dib);
  EXPECT_EQ(held.dib.Load("missing.bmp"), 0);
  EXPECT_STREQ(held.dib.m_strName, "missing.bmp");
  held.dib.m_strName = "held";
  EXPECT_TRUE(Unchanged(held.dib, before));
}

TEST(CDIBLoadByName, OneByteFileFails) {
  ScratchDir scratch;
  WriteBytes("one.bmp", Bytes{'B'});
  CDIB dib;
  EXPECT_EQ(dib.Load("one.bmp"), 0);
}

TEST(CDIBLoadByName, EmptyNameAsksTheUserForABitmapFile) {
  ScratchDir scratch;
  WriteBytes("chosen.bmp", BitmapFile{}.Build());
  CDIB dib;
  dib.m_strName = "before";
  {
    FileDialogAnswer cancel("");
    EXPECT_EQ(dib.Load(""), 0);
    EXPECT_EQ(dib.Load(nullptr), 0);
    const std::vector<FileDialogAnswer::Asked> asked = cancel.asked();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].caption, kOpenCaption);
    EXPECT_EQ(asked[0].types, (std::vector<std::string>{"Bitmap files(*.DIB;*.BM*)", "All files (*.*)"}));
    EXPECT_EQ(asked[0].initialName, "");
    EXPECT_FALSE(asked[0].readOnlyShown);
#ifndef _WIN32
    EXPECT_FALSE(asked[0].save);
    EXPECT_EQ(asked[0].flags, 0x1004u);
    EXPECT_EQ(asked[0].filter, "Bitmap files(*.DIB;*.BM*)|*.DIB;*.BM*|All files (*.*)|*.*|");
    EXPECT_FALSE(asked[0].defaultExtension);
#endif
    EXPECT_STREQ(dib.m_strName, "before");
  }
  FileDialogAnswer choose("chosen.bmp");
  EXPECT_EQ(dib.Load(""), 1);
  EXPECT_EQ(std::string(dib.m_strName), choose.chosen());
}

// A leading bar cannot start an archive name: the whole name is a file's, never the member of
// an archive ".kds" beside it. Windows allows no bar in a file name, so there the load fails.
TEST(CDIBLoadByName, LeadingBarIsPartOfAFileName) {
  ScratchDir scratch;
  WriteBytes(".kds", ReadBytes(DataPath("kds/good/roses.kds")));
  CDIB dib;
#ifdef _WIN32
  const Snapshot before(dib);
  EXPECT_EQ(dib.Load("|LoginBk.bmp"), 0);
  dib.m_strName = before.strName;
  EXPECT_TRUE(Unchanged(dib, before));
#else
  WriteBytes("|LoginBk.bmp", BitmapFile{}.Build());
  ASSERT_EQ(dib.Load("|LoginBk.bmp"), 1);
  EXPECT_EQ(dib.GetWidth(), 5);
#endif
}

// Readers left open would run out: the platform keeps sixteen expansion readers.
TEST(CDIBLoadByName, CompressedLoadsReleaseTheirReaders) {
  for (int i = 0; i < 40; ++i) {
    CDIB dib;
    ASSERT_EQ(dib.Load(kMscompressBmp3.c_str()), 1) << "load " << i;
  }
}

// ---- Resources -----------------------------------------------------------------------------

TEST(CDIBLoadFromResource, AdoptsTheResourcePixelsInPlace) {
  ProvideTestResources();
  CDIB first, second;
  first.m_bMapped = TRUE;
  ASSERT_EQ(first.LoadFromResource(0x30000 | kResourceBitmap), 1);
  EXPECT_STREQ(first.m_strName, ("RES:" + std::to_string(kResourceBitmap)).c_str());
  EXPECT_FALSE(first.m_bOwnBits);
  EXPECT_TRUE(first.m_bMapped);
  CDIB plain;
  ASSERT_EQ(LoadFile(plain, kMagickBmp3), 1);
  EXPECT_EQ(std::memcmp(first.m_pBMI, plain.m_pBMI, dib::kHeaderBlockBytes), 0);
  EXPECT_EQ(PixelRows(first), PixelRows(plain));

  ASSERT_EQ(second.LoadFromResource(kResourceBitmap), 1);
  EXPECT_EQ(second.m_pBits, first.m_pBits) << "one resource image for the process";
  // The adopted pixels are written in place; put back for the next test of this process.
  BYTE* pixel = first.GetPixelAddress(0, 0);
  const BYTE original = *pixel;
  *pixel = static_cast<BYTE>(original ^ 0xFF);
  EXPECT_EQ(*second.GetPixelAddress(0, 0), original ^ 0xFF);
  *pixel = original;
}

TEST(CDIBLoadFromResource, MissingOrDamagedResourceChangesNothing) {
  ProvideTestResources();
  for (UINT id : {UINT{999}, UINT{kResourceDamaged}}) {
    HeldBitmap held;
    const Snapshot before(held.dib);
    EXPECT_EQ(held.dib.LoadFromResource(id), 0) << id;
    EXPECT_TRUE(Unchanged(held.dib, before)) << id;
  }
}
