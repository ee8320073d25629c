#include "CDIB.h"

#include "ImagingTestSupport.h"
#include "framework/ArchiveFixtures.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>

using namespace imaging_test;

namespace {

BITMAPINFOHEADER InfoHeader(WORD bitCount, DWORD clrUsed) {
  BITMAPINFOHEADER h{};
  h.biSize = 40;
  h.biBitCount = bitCount;
  h.biClrUsed = clrUsed;
  return h;
}

}  // namespace

TEST(CDIB, NewObjectIsA16By16GreyRampWithZeroPixels) {
  CDIB dib;
  EXPECT_EQ(dib.GetWidth(), 16);
  EXPECT_EQ(dib.GetHeight(), 16);
  EXPECT_EQ(dib.m_pBMI->bmiHeader.biBitCount, 8);
  EXPECT_EQ(dib.GetNumColors(), 256);
  const RGBQUAD c = dib.GetColorTable()[200];
  EXPECT_EQ((std::array<int, 4>{c.rgbBlue, c.rgbGreen, c.rgbRed, c.rgbReserved}), (std::array<int, 4>{200, 200, 200, 0}));
  for (int i = 0; i < 256; ++i) ASSERT_EQ(dib.m_pBits[i], 0) << i;
  EXPECT_TRUE(dib.m_bOwnBits);
  EXPECT_FALSE(dib.m_bMapped);
  EXPECT_TRUE(dib.m_strName.IsEmpty());
}

TEST(CDIB, IsARuntimeClassCreatedByName) {
  const std::unique_ptr<CObject> object = CreateRegistered("CDIB", RUNTIME_CLASS(CDIB), RUNTIME_CLASS(CObject));
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(static_cast<CDIB*>(object.get())->GetWidth(), 16);
}

TEST(CDIB, CreateAddressesPixelsFromTheTopLeftCorner) {
  CDIB dib;
  ASSERT_EQ(dib.Create(10, 3), 1);
  EXPECT_EQ(dib.GetPixelAddress(0, 0), dib.m_pBits + 24);
  EXPECT_EQ(dib.GetPixelAddress(9, 2), dib.m_pBits + 9);
  EXPECT_EQ(dib.GetPixelAddress(3, 1), dib.m_pBits + 15);
  for (const auto& [x, y] : {std::pair{10, 0}, {0, 3}, {-1, 0}, {0, -1}, {INT_MAX, 0}})
    EXPECT_EQ(dib.GetPixelAddress(x, y), nullptr) << x << "," << y;
  const BITMAPINFOHEADER& h = dib.m_pBMI->bmiHeader;
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(dib.GetRect(), CRect(0, 0, 10, 3));
}

TEST(CDIB, CreateKeepsNameAndMappedFlag) {
  CDIB dib;
  dib.m_strName = "keep";
  dib.m_bMapped = TRUE;
  ASSERT_EQ(dib.Create(640, 480), 1);
  EXPECT_EQ(dib.GetRect(), CRect(0, 0, 640, 480));
  EXPECT_STREQ(dib.m_strName, "keep");
  EXPECT_TRUE(dib.m_bMapped);
}

// Sizes no buffer can hold fail like a failed allocation: nothing is left to address.
TEST(CDIB, CreateOfAnImpossibleSizeLeavesNoBitmap) {
  for (const auto& [w, h] : {std::pair{INT_MAX, INT_MAX}, {-1, 5}, {5, -1}, {0x10000, 0x10000}}) {
    CDIB dib;
    EXPECT_EQ(dib.Create(w, h), 0) << w << "x" << h;
    EXPECT_EQ(dib.m_pBMI, nullptr);
    EXPECT_EQ(dib.GetWidth(), 0);
    EXPECT_EQ(dib.GetPixelAddress(0, 0), nullptr);
    EXPECT_EQ(dib.GetNumColors(), 0);
    EXPECT_EQ(dib.Create(2, 2), 1) << "a later Create recovers";
  }
}

TEST(CDIB, NumColorsFollowsBitCountAndColoursUsed) {
  struct Case {
    BITMAPINFOHEADER header;
    int expected;
  };
  const Case cases[] = {
      {InfoHeader(8, 0), 256},  {InfoHeader(8, 20), 20}, {InfoHeader(8, 300), 256}, {InfoHeader(4, 0), 16},
      {InfoHeader(4, 100), 16}, {InfoHeader(1, 0), 2},   {InfoHeader(24, 0), 0},    {InfoHeader(24, 16), 16},
      {InfoHeader(24, 300), 300},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CDIB::GetNumColors(&c.header), c.expected) << c.header.biBitCount << " bits, " << c.header.biClrUsed;
  // A core header has no colours-used field: what follows its 12 bytes is not read as one.
  BYTE core[40] = {};
  const BITMAPCOREHEADER coreHeader{12, 4, 4, 1, 8};
  std::memcpy(core, &coreHeader, sizeof coreHeader);
  core[32] = 20;
  EXPECT_EQ(CDIB::GetNumColors(core), 256);
}

TEST(CDIB, SetColorTableSwapsToBlueGreenRedReserved) {
  CDIB dib;
  const PALETTEENTRY entry{1, 2, 3, 4};
  EXPECT_EQ(dib.SetColorTable(10, 1, &entry), 0);
  const BYTE* bytes = reinterpret_cast<const BYTE*>(&dib.GetColorTable()[10]);
  EXPECT_EQ((Bytes(bytes, bytes + 4)), (Bytes{3, 2, 1, 4}));
  EXPECT_EQ(dib.GetColorTable()[11].rgbRed, 11) << "neighbour untouched";
  // Entries past the table are dropped, not written beyond the header block.
  std::vector<PALETTEENTRY> many(300, entry);
  dib.SetColorTable(250, 300, many.data());
  EXPECT_EQ(dib.GetColorTable()[255].rgbRed, 1);
}

TEST(CDIB, AttachMemoryCopiesHeaderAndUsedColoursOnly) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[16];
  } source{};
  source.header = InfoHeader(8, 16);
  source.header.biWidth = 4;
  source.header.biHeight = 2;
  for (int i = 0; i < 16; ++i) source.colors[i] = TestColor(i);
  BYTE pixels[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  {
    CDIB dib;
    dib.m_strName = "kept";
    ASSERT_EQ(dib.AttachMemory(&source, pixels), 1);
    EXPECT_EQ(dib.m_pBits, pixels);
    EXPECT_FALSE(dib.m_bOwnBits);
    EXPECT_NE(static_cast<void*>(dib.m_pBMI), static_cast<void*>(&source));
    EXPECT_EQ(std::memcmp(dib.m_pBMI, &source, 40 + 64), 0);
    EXPECT_EQ(dib.GetNumColors(), 16);
    EXPECT_EQ(*dib.GetPixelAddress(0, 0), 5);
    EXPECT_STREQ(dib.m_strName, "kept");
    ASSERT_EQ(dib.Create(2, 2), 1);
    EXPECT_TRUE(dib.m_bOwnBits);
    ASSERT_EQ(dib.AttachMemory(&source, pixels), 1);
  }
  EXPECT_EQ((Bytes(pixels, pixels + 8)), (Bytes{1, 2, 3, 4, 5, 6, 7, 8})) << "adopted pixels outlive the object";
}

// An adopted header may claim more colours than the block holds; only 256 are copied.
TEST(CDIB, AttachMemoryCapsTheColourCountAtTheBlock) {
  std::vector<BYTE> source(40 + 4 * 300, 0x11);
  const BITMAPINFOHEADER header = InfoHeader(24, 300);
  std::memcpy(source.data(), &header, sizeof header);
  BYTE pixel[4] = {};
  CDIB dib;
  ASSERT_EQ(dib.AttachMemory(source.data(), pixel), 1);
  EXPECT_EQ(CDIB::GetNumColors(dib.m_pBMI), 300);
  EXPECT_EQ(dib.GetNumColors(), 256);
}

TEST(CDIB, DrawsItsPixelsAtTheGivenPlace) {
  HDC hdc = CreateCompatibleDC(nullptr);
  ASSERT_NE(hdc, nullptr);
  BITMAPINFO surfaceInfo{};
  surfaceInfo.bmiHeader = InfoHeader(32, 0);
  surfaceInfo.bmiHeader.biWidth = 6;
  surfaceInfo.bmiHeader.biHeight = 4;
  surfaceInfo.bmiHeader.biPlanes = 1;
  void* surfaceBits = nullptr;
  HBITMAP surface = CreateDIBSection(hdc, &surfaceInfo, DIB_RGB_COLORS, &surfaceBits, nullptr, 0);
  ASSERT_NE(surface, nullptr);
  std::memset(surfaceBits, 0x7F, 6 * 4 * 4);
  HGDIOBJ previous = SelectObject(hdc, surface);

  CDIB dib;
  ASSERT_EQ(dib.Create(3, 2), 1);
  const PALETTEENTRY colors[3] = {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}};
  dib.SetColorTable(1, 3, colors);
  *dib.GetPixelAddress(0, 0) = 1;  // top left red
  *dib.GetPixelAddress(2, 0) = 2;  // top right green
  *dib.GetPixelAddress(1, 1) = 3;  // bottom middle blue
  CDC dc(hdc);
  EXPECT_EQ(dib.Draw(&dc, 2, 1), 2) << "rows drawn";
  GdiFlush();

  const COLORREF grey = RGB(0x7F, 0x7F, 0x7F);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      COLORREF expected = grey;
      if (x >= 2 && x < 5 && y >= 1 && y < 3) expected = RGB(0, 0, 0);
      if (x == 2 && y == 1) expected = RGB(255, 0, 0);
      if (x == 4 && y == 1) expected = RGB(0, 255, 0);
      if (x == 3 && y == 2) expected = RGB(0, 0, 255);
      EXPECT_EQ(GetPixel(hdc, x, y), expected) << x << "," << y;
    }
  SelectObject(hdc, previous);
  DeleteObject(surface);
  DeleteDC(hdc);
}

// The bitmap is read from where the archive stands, and the archive goes on right after it: a
// bitmap archived after other data loads back whole.
TEST(CDIBSerialize, ABitmapAfterOtherDataLoadsBackAndTheArchiveGoesOn) {
  ScratchDir scratch;
  CDIB original;
  ASSERT_EQ(original.Create(7, 5), 1);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) *original.GetPixelAddress(x, y) = TestPixel(x, y);
  original.SetColorTable(0, 1, std::array<PALETTEENTRY, 1>{{{9, 8, 7, 6}}}.data());
  {
    CFile file("nested.bin", CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    ar << CString("before") << static_cast<DWORD>(0xA5A5A5A5);
    ar << &original << static_cast<DWORD>(0x12345678);
    ar.Close();
  }
  CFile file("nested.bin", CFile::modeRead);
  CArchive ar(&file, CArchive::load);
  CString before;
  DWORD mark = 0, after = 0;
  CObject* object = nullptr;
  ar >> before >> mark >> object >> after;
  ASSERT_NE(object, nullptr);
  CDIB* loaded = static_cast<CDIB*>(object);
  EXPECT_EQ(after, 0x12345678u);
  EXPECT_EQ(std::memcmp(loaded->m_pBMI, original.m_pBMI, dib::kHeaderBlockBytes), 0);
  EXPECT_EQ(std::memcmp(loaded->m_pBits, original.m_pBits, 8 * 5), 0);
  delete object;
}

TEST(CDIBSerialize, StoredAtTheStartOfAFileLoadsBack) {
  ScratchDir scratch;
  CDIB original;
  ASSERT_EQ(original.Create(3, 3), 1);
  *original.GetPixelAddress(2, 2) = 77;
  {
    CFile file("alone.bin", CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    original.Serialize(ar);
  }
  CFile file("alone.bin", CFile::modeRead);
  CArchive ar(&file, CArchive::load);
  CDIB loaded;
  loaded.Serialize(ar);
  EXPECT_EQ(loaded.GetWidth(), 3);
  EXPECT_EQ(*loaded.GetPixelAddress(2, 2), 77);
}

TEST(CDIBSerialize, NoBitmapWhereTheArchiveStandsLeavesTheObjectAsItWas) {
  ScratchDir scratch;
  {
    CFile file("junk.bin", CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    ar << CString("no bitmap here, only words");
  }
  CFile file("junk.bin", CFile::modeRead);
  CArchive ar(&file, CArchive::load);
  CDIB dib;
  const Snapshot before(dib);
  dib.Serialize(ar);
  EXPECT_TRUE(Unchanged(dib, before));
}
