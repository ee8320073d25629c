// Drawing 8-bit DIBs into a 32-bit DIB section selected into a memory device context, and
// reading every pixel back.
#include "win32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint32_t kUntouched = 0x77777777;
constexpr LONG kWidth = 8;
constexpr LONG kHeight = 6;

struct Dib8 {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

// A 3 x 2 bitmap with a 4-entry colour table; rows bottom-up, 4 bytes each.
struct Source {
  Dib8 info{};
  BYTE bits[8] = {0, 1, 2, 0xEE, 3, 2, 1, 0xEE};

  explicit Source(bool topDown = false) {
    info.header = {sizeof(BITMAPINFOHEADER), 3, topDown ? -2 : 2, 1, 8, BI_RGB, 0, 0, 0, 4, 0};
    info.colors[0] = {1, 2, 3, 0};
    info.colors[1] = {10, 20, 30, 0};
    info.colors[2] = {100, 110, 120, 0};
    info.colors[3] = {200, 210, 220, 0xAA};  // the reserved byte never reaches the surface
    if (topDown) {  // the same picture, rows stored the other way round
      std::swap_ranges(bits, bits + 4, bits + 4);
    }
  }
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(&info); }
  // The surface value of the picture's pixel (x, y), y from the top.
  std::uint32_t Pixel(int x, int y) const {
    static const std::uint32_t top[3] = {0xDCD2C8, 0x786E64, 0x1E140A};
    static const std::uint32_t bottom[3] = {0x030201, 0x1E140A, 0x786E64};
    return y == 0 ? top[x] : bottom[x];
  }
};

class Draw : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    m_dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(m_dc, nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, GetParam() ? -kHeight : kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(m_bitmap, nullptr);
    m_bits = static_cast<std::uint32_t*>(bits);
    std::fill(m_bits, m_bits + kWidth * kHeight, kUntouched);
    m_old = SelectObject(m_dc, m_bitmap);
    ASSERT_NE(m_old, nullptr);
  }
  void TearDown() override {
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
  }

  // (x, y) from the top of the surface, whichever its row order.
  std::uint32_t At(int x, int y) {
    GdiFlush();
    return m_bits[(GetParam() ? y : kHeight - 1 - y) * kWidth + x];
  }

  // Every pixel: the picture where the block at (x, y) covers the surface, untouched elsewhere.
  void ExpectBlockAt(const Source& source, int left, int top) {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const bool inside = x >= left && x < left + 3 && y >= top && y < top + 2;
        EXPECT_EQ(At(x, y), inside ? source.Pixel(x - left, y - top) : kUntouched) << "at " << x << "," << y;
      }
  }

  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  std::uint32_t* m_bits = nullptr;
};

TEST_P(Draw, CopiesEveryPixelThroughTheColourTable) {
  for (const bool topDown : {false, true}) {
    const Source source(topDown);
    std::fill(m_bits, m_bits + kWidth * kHeight, kUntouched);
    EXPECT_EQ(StretchDIBits(m_dc, 1, 1, 3, 2, 0, 0, 3, 2, source.bits, source.Info(), DIB_RGB_COLORS, SRCCOPY), 2);
    ExpectBlockAt(source, 1, 1);
  }
}

// The result counts the bitmap's rows, however many the clipping leaves.
TEST_P(Draw, ClipsToTheSurface) {
  const Source source;
  for (const POINT at : {POINT{6, 5}, POINT{-2, -1}, POINT{-1, 5}, POINT{7, -1}, POINT{20, 20}, POINT{-3, 0}}) {
    std::fill(m_bits, m_bits + kWidth * kHeight, kUntouched);
    EXPECT_EQ(StretchDIBits(m_dc, at.x, at.y, 3, 2, 0, 0, 3, 2, source.bits, source.Info(), DIB_RGB_COLORS, SRCCOPY),
              2);
    ExpectBlockAt(source, at.x, at.y);
  }
}

// Source rows count from the bottom of the bitmap: row 1 of the picture is its top row.
TEST_P(Draw, TakesAPartOfTheSource) {
  const Source source;
  EXPECT_NE(StretchDIBits(m_dc, 0, 0, 2, 1, 1, 1, 2, 1, source.bits, source.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(At(0, 0), source.Pixel(1, 0));
  EXPECT_EQ(At(1, 0), source.Pixel(2, 0));
  EXPECT_EQ(At(2, 0), kUntouched);
  EXPECT_EQ(At(0, 1), kUntouched);
}

TEST_P(Draw, UnusedColourCountMeansAFullTable) {
  Source source;
  source.info.header.biClrUsed = 0;
  source.info.colors[0xEE] = {9, 8, 7, 0};
  source.info.header.biWidth = 4;  // now the 0xEE bytes are pixels
  EXPECT_EQ(StretchDIBits(m_dc, 0, 0, 4, 2, 0, 0, 4, 2, source.bits, source.Info(), DIB_RGB_COLORS, SRCCOPY), 2);
  EXPECT_EQ(At(3, 0), 0x070809u);
  EXPECT_EQ(At(3, 1), 0x070809u);
}

TEST_P(Draw, GetPixelReadsTheSurface) {
  const Source source;
  StretchDIBits(m_dc, 1, 1, 3, 2, 0, 0, 3, 2, source.bits, source.Info(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(GetPixel(m_dc, 1, 1), RGB(220, 210, 200));
  EXPECT_EQ(GetPixel(m_dc, 3, 2), RGB(120, 110, 100));
  EXPECT_EQ(GetPixel(m_dc, kWidth, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(m_dc, 0, -1), CLR_INVALID);
}

TEST_P(Draw, RefusesWhatItCannotDraw) {
  Source source;
  EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 3, 2, 0, 0, 3, 2, source.bits, source.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(StretchDIBits(m_dc, 0, 0, 3, 2, 0, 0, 3, 2, nullptr, source.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(StretchDIBits(m_dc, 0, 0, 3, 2, 0, 0, 3, 2, source.bits, nullptr, DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(StretchDIBits(m_dc, 0, 0, 0, 0, 0, 0, 0, 0, source.bits, source.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
  source.info.header.biSize = sizeof(BITMAPCOREHEADER);
  EXPECT_EQ(StretchDIBits(m_dc, 0, 0, 3, 2, 0, 0, 3, 2, source.bits, source.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
  source.info.header.biSize = sizeof(BITMAPINFOHEADER);
  source.info.header.biWidth = 0;
  EXPECT_EQ(StretchDIBits(m_dc, 0, 0, 3, 2, 0, 0, 3, 2, source.bits, source.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
  ExpectBlockAt(source, 100, 100);  // nothing drawn
}

INSTANTIATE_TEST_SUITE_P(RowOrders, Draw, testing::Bool(),
                         [](const auto& info) { return info.param ? "TopDownSurface" : "BottomUpSurface"; });

TEST(DibSection, RefusesSizesItCannotHold) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 100000, 100000, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  info.bmiHeader.biWidth = 0;
  info.bmiHeader.biHeight = 4;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(DibSection, StartsBlack) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 5, 3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  const auto* p = static_cast<const std::uint32_t*>(bits);
  EXPECT_TRUE(std::all_of(p, p + 15, [](std::uint32_t v) { return v == 0; }));
  DeleteObject(bitmap);
}

}  // namespace
