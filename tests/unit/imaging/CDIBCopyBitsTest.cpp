// The block copy, checked pixel by pixel against a model written from its rules, on every
// instruction set this processor runs.
#include "BlockCopy.h"
#include "CDIB.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

namespace {

using blockcopy::Isa;

constexpr COLORREF kNone = DRAW_NO_TRANSPARENT;
constexpr COLORREF PaletteIndex(BYTE i) { return 0x01000000 | i; }

std::string IsaName(Isa isa) {
  switch (isa) {
    case Isa::Scalar: return "Scalar";
    case Isa::Sse2: return "Sse2";
    case Isa::Avx2: return "Avx2";
  }
  return "Unknown";
}

std::vector<Isa> SupportedIsas() {
  std::vector<Isa> isas;
  for (Isa isa : {Isa::Scalar, Isa::Sse2, Isa::Avx2})
    if (blockcopy::IsSupported(isa)) isas.push_back(isa);
  return isas;
}

// Every pixel of the bitmap, top row first, padding left out.
std::vector<BYTE> Pixels(const CDIB& dib) {
  std::vector<BYTE> pixels;
  for (int y = 0; y < dib.GetHeight(); ++y)
    for (int x = 0; x < dib.GetWidth(); ++x) pixels.push_back(*dib.GetPixelAddress(x, y));
  return pixels;
}

void Fill(CDIB& dib, std::mt19937& random, int colours) {
  for (int y = 0; y < dib.GetHeight(); ++y)
    for (int x = 0; x < dib.GetWidth(); ++x) *dib.GetPixelAddress(x, y) = static_cast<BYTE>(random() % colours);
}

void FillWith(CDIB& dib, BYTE value) {
  for (int y = 0; y < dib.GetHeight(); ++y)
    for (int x = 0; x < dib.GetWidth(); ++x) *dib.GetPixelAddress(x, y) = value;
}

bool PatternDraws(unsigned mode, int r, int c) {
  switch (mode) {
    case 0: return true;
    case 1: {
      const int skipped[4] = {0, 2, 1, 3};
      return c % 4 != skipped[r % 4];
    }
    case 2: return c % 2 == r % 2;
    case 8: return r % 4 == 0 && c % 4 == 0;
    default: return r % 2 == 0 && c % 2 == 0;
  }
}

// The copy as its rules state it, one pixel at a time, for blocks inside both bitmaps.
void ModelCopy(const CDIB& src, CDIB& dest, int dx, int dy, int w, int h, int sx, int sy, COLORREF t, UINT nFlags) {
  const WORD flags = static_cast<WORD>(nFlags);
  const unsigned mode = flags & DRAW_DISSOLVE_MASK;
  if (w == 0 || h == 0 || mode == 0x10) return;
  const bool mirrorX = flags & DRAW_MIRROR_X;
  const bool mirrorY = flags & DRAW_MIRROR_Y;
  for (int k = 0; k < h; ++k) {
    for (int j = 0; j < w; ++j) {
      const BYTE v = *src.GetPixelAddress(mirrorX ? sx + w - 1 - j : sx + j, sy + k);
      BYTE* d = dest.GetPixelAddress(dx + j, mirrorY ? dy + h - 1 - k : dy + k);
      if (t == kNone || (PatternDraws(mode, k, w - 1 - j) && v != static_cast<BYTE>(t))) *d = v;
    }
  }
}

class CopyBits : public testing::TestWithParam<Isa> {
 protected:
  void SetUp() override { ASSERT_TRUE(blockcopy::UseIsa(GetParam())); }
  void TearDown() override { blockcopy::UseBestIsa(); }

  // Copies with CopyBits and with the model onto copies of dest; every pixel must agree.
  void ExpectAsModel(const CDIB& src, const CDIB& dest, int dx, int dy, int w, int h, int sx, int sy, COLORREF t,
                     UINT flags) {
    CDIB actual, expected;
    ASSERT_TRUE(actual.Create(dest.GetWidth(), dest.GetHeight()));
    ASSERT_TRUE(expected.Create(dest.GetWidth(), dest.GetHeight()));
    for (CDIB* d : {&actual, &expected})
      for (int y = 0; y < dest.GetHeight(); ++y)
        for (int x = 0; x < dest.GetWidth(); ++x) *d->GetPixelAddress(x, y) = *dest.GetPixelAddress(x, y);
    const_cast<CDIB&>(src).CopyBits(&actual, dx, dy, w, h, sx, sy, t, flags);
    ModelCopy(src, expected, dx, dy, w, h, sx, sy, t, flags);
    ASSERT_EQ(Pixels(actual), Pixels(expected))
        << "block " << w << "x" << h << " from (" << sx << "," << sy << ") to (" << dx << "," << dy << "), key "
        << std::hex << t << ", flags " << flags;
  }

  // Draws a block of 1s onto 0s, keyed by an index the block lacks, and gives each destination
  // row as X for a drawn pixel and - for a skipped one.
  static std::vector<std::string> DrawnRows(int w, int h, UINT flags) {
    CDIB src, dest;
    src.Create(w, h);
    dest.Create(w, h);
    FillWith(src, 1);
    src.CopyBits(&dest, 0, 0, w, h, 0, 0, PaletteIndex(9), flags);
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
      std::string row;
      for (int x = 0; x < w; ++x) row += *dest.GetPixelAddress(x, y) ? 'X' : '-';
      rows.push_back(row);
    }
    return rows;
  }
};

TEST_P(CopyBits, EveryFlagCombinationOnOddSizesMatchesTheModel) {
  std::mt19937 random(7);
  const std::vector<UINT> modes = {0, 1, 2, 3, 4, 5, 8, 9, 15, 16, 17, 31};
  // Widths around the vector sizes, so that whole vectors, tails and rows without a vector show.
  const int widths[] = {1, 3, 7, 15, 16, 17, 33, 70};
  const int heights[] = {1, 2, 5, 9};
  CDIB src, dest;
  ASSERT_TRUE(src.Create(77, 13));
  ASSERT_TRUE(dest.Create(81, 15));
  Fill(src, random, 4);
  Fill(dest, random, 256);
  for (int w : widths)
    for (int h : heights)
      for (UINT mode : modes)
        for (UINT mirror : {0u, 0x100u, 0x200u, 0x300u})
          for (COLORREF key : {kNone, PaletteIndex(2)})
            ExpectAsModel(src, dest, 81 - w - 3, 1, w, h, 5, 13 - h, key, mode | mirror);
}

// Opaque blocks large enough to be written with streaming stores: whole bitmaps whose rows join
// into one, rows starting at every place in a cache line, rows too short for a whole line.
TEST_P(CopyBits, LargeOpaqueBlocksMatchTheModel) {
  struct Case {
    int srcW, srcH, destW, destH, dx, dy, w, h, sx, sy;
  };
  const Case cases[] = {
      {1024, 300, 1024, 300, 0, 0, 1024, 300, 0, 0},
      {1023, 301, 1030, 302, 5, 1, 1019, 300, 3, 1},
      {75, 4001, 73, 4002, 2, 1, 70, 4000, 4, 1},
  };
  std::mt19937 random(9);
  for (const Case& c : cases) {
    CDIB src, dest;
    ASSERT_TRUE(src.Create(c.srcW, c.srcH));
    ASSERT_TRUE(dest.Create(c.destW, c.destH));
    Fill(src, random, 256);
    Fill(dest, random, 256);
    for (UINT mirror : {0u, 0x100u, 0x200u, 0x300u})
      ExpectAsModel(src, dest, c.dx, c.dy, c.w, c.h, c.sx, c.sy, kNone, mirror);
  }
}

TEST_P(CopyBits, PatternsDrawTheWorkedExampleOnAnEightPixelBlock) {
  const struct {
    UINT mode;
    std::vector<std::string> rows;
  } cases[] = {
      {1, {"XXX-XXX-", "X-XXX-XX", "XX-XXX-X", "-XXX-XXX", "XXX-XXX-"}},
      {2, {"-X-X-X-X", "X-X-X-X-", "-X-X-X-X", "X-X-X-X-", "-X-X-X-X"}},
      {4, {"-X-X-X-X", "--------", "-X-X-X-X", "--------", "-X-X-X-X"}},
      {8, {"---X---X", "--------", "--------", "--------", "---X---X"}},
      {0, {"XXXXXXXX", "XXXXXXXX", "XXXXXXXX", "XXXXXXXX", "XXXXXXXX"}},
  };
  for (const auto& c : cases) EXPECT_EQ(DrawnRows(8, 5, c.mode), c.rows) << "mode " << c.mode;
}

TEST_P(CopyBits, PatternsCountRowsFromTheSourceTopAndColumnsFromTheRightEdge) {
  // Mode 2 on row 0 draws the columns at an even distance from the right edge.
  EXPECT_EQ(DrawnRows(7, 1, 2)[0], "X-X-X-X");
  EXPECT_EQ(DrawnRows(8, 1, 2)[0], "-X-X-X-X");
  // Mirror-y lands source row 0 (drawn in mode 4) on the block's bottom row.
  EXPECT_EQ(DrawnRows(8, 3, 4 | DRAW_MIRROR_Y), (std::vector<std::string>{"-X-X-X-X", "--------", "-X-X-X-X"}));
  EXPECT_EQ(DrawnRows(8, 2, 4 | DRAW_MIRROR_Y), (std::vector<std::string>{"--------", "-X-X-X-X"}));
}

TEST_P(CopyBits, UnnamedModesDrawWhatModeFourDraws) {
  for (UINT mode : {3u, 5u, 6u, 7u, 9u, 15u, 17u, 31u})
    EXPECT_EQ(DrawnRows(37, 6, mode), DrawnRows(37, 6, 4)) << "mode " << mode;
}

TEST_P(CopyBits, FlagBitsOutsideModeAndMirrorsChangeNothing) {
  for (UINT flags : {0x0u, 0x1u, 0x2u, 0x8u, 0x301u})
    for (UINT extra : {0x1000u, 0xFCE0u, 0xFFFF0000u, 0x00100000u})
      EXPECT_EQ(DrawnRows(35, 5, flags | extra), DrawnRows(35, 5, flags)) << std::hex << flags << " | " << extra;
}

TEST_P(CopyBits, OnlyTheExactNoneValueDrawsEveryPixel) {
  CDIB src, dest;
  src.Create(40, 2);
  dest.Create(40, 2);
  for (int x = 0; x < 40; ++x) *src.GetPixelAddress(x, 0) = *src.GetPixelAddress(x, 1) = x % 2 ? 0xFF : 0x10;
  // A key of 255, whatever its top byte, skips index 255; -1 copies everything, patterns too.
  for (COLORREF key : {COLORREF{0x010000FF}, COLORREF{0x000000FF}, COLORREF{0xFF0000FF}}) {
    FillWith(dest, 0);
    src.CopyBits(&dest, 0, 0, 40, 2, 0, 0, key, 0);
    for (int x = 0; x < 40; ++x) EXPECT_EQ(*dest.GetPixelAddress(x, 1), x % 2 ? 0 : 0x10) << std::hex << key;
  }
  for (UINT mode : {0u, 1u, 2u, 4u, 8u}) {
    FillWith(dest, 0);
    src.CopyBits(&dest, 0, 0, 40, 2, 0, 0, kNone, mode);
    EXPECT_EQ(Pixels(dest), Pixels(src)) << "mode " << mode;
  }
}

TEST_P(CopyBits, HalfTurnPutsTheBottomRightPixelAtTheTopLeft) {
  CDIB src, dest;
  src.Create(9, 4);
  dest.Create(9, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 9; ++x) *src.GetPixelAddress(x, y) = static_cast<BYTE>(10 * y + x);
  src.CopyBits(&dest, 0, 0, 9, 4, 0, 0, kNone, DRAW_MIRROR_X | DRAW_MIRROR_Y);
  EXPECT_EQ(*dest.GetPixelAddress(0, 0), 38);
  EXPECT_EQ(*dest.GetPixelAddress(8, 3), 0);
  EXPECT_EQ(*dest.GetPixelAddress(8, 0), 30);
  // A mirror on a single column or row is no mirror.
  CDIB line;
  line.Create(9, 4);
  src.CopyBits(&line, 2, 0, 1, 4, 2, 0, kNone, DRAW_MIRROR_X);
  src.CopyBits(&line, 0, 1, 9, 1, 0, 1, kNone, DRAW_MIRROR_Y);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(*line.GetPixelAddress(2, y), 10 * y + 2);
  for (int x = 0; x < 9; ++x) EXPECT_EQ(*line.GetPixelAddress(x, 1), 10 + x);
}

TEST_P(CopyBits, BlocksOutsideEitherBitmapOrOfNoSizeDrawNothing) {
  CDIB src, dest;
  src.Create(20, 10);
  dest.Create(30, 12);
  FillWith(src, 1);
  FillWith(dest, 0);
  const struct {
    int dx, dy, w, h, sx, sy;
  } refused[] = {
      {0, 0, 0, 5, 0, 0},        {0, 0, 5, 0, 0, 0},        {0, 0, -1, 5, 0, 0},         {0, 0, 5, -1, 0, 0},
      {-1, 0, 5, 5, 0, 0},       {0, -1, 5, 5, 0, 0},       {26, 0, 5, 5, 0, 0},         {0, 8, 5, 5, 0, 0},
      {0, 0, 5, 5, -1, 0},       {0, 0, 5, 5, 0, -1},       {0, 0, 5, 5, 16, 0},         {0, 0, 5, 5, 0, 6},
      {0, 0, 21, 5, 0, 0},       {0, 0, 5, 11, 0, 0},       {INT_MAX, 0, 5, 5, 0, 0},    {0, 0, INT_MAX, 5, 0, 0},
      {0, 0, 5, 5, INT_MAX, 0},  {0, 0, 5, INT_MAX, 0, 0},  {INT_MIN, 0, 5, 5, 0, 0},    {0, 0, INT_MIN, INT_MIN, 0, 0},
  };
  for (const auto& r : refused)
    for (UINT flags : {0u, 0x301u})
      for (COLORREF key : {kNone, PaletteIndex(0)}) {
        src.CopyBits(&dest, r.dx, r.dy, r.w, r.h, r.sx, r.sy, key, flags);
        ASSERT_EQ(Pixels(dest), std::vector<BYTE>(30 * 12, 0))
            << r.dx << "," << r.dy << " " << r.w << "x" << r.h << " from " << r.sx << "," << r.sy;
      }
  src.CopyBits(nullptr, 0, 0, 5, 5, 0, 0, kNone, 0);
  // Mode 0x10 draws nothing, with or without a key.
  src.CopyBits(&dest, 0, 0, 5, 5, 0, 0, kNone, 0x10);
  src.CopyBits(&dest, 0, 0, 5, 5, 0, 0, PaletteIndex(0), 0x10);
  EXPECT_EQ(Pixels(dest), std::vector<BYTE>(30 * 12, 0));
}

TEST_P(CopyBits, OverlappingBlocksOfOneBitmapStayInside) {
  CDIB dib;
  dib.Create(50, 20);
  std::mt19937 random(3);
  Fill(dib, random, 256);
  // The result is not defined; the sanitizers watch that nothing outside the bitmap is touched.
  for (UINT flags : {0u, 0x100u, 0x200u, 0x301u})
    for (COLORREF key : {kNone, PaletteIndex(5)}) {
      dib.CopyBits(&dib, 3, 2, 47, 18, 0, 0, key, flags);
      dib.CopyBits(&dib, 0, 0, 47, 18, 3, 2, key, flags);
    }
}

TEST_P(CopyBits, RandomBlocksMatchTheScalarPath) {
  std::mt19937 random(GetParam() == Isa::Scalar ? 11 : 12);
  for (int round = 0; round < 300; ++round) {
    CDIB src, dest;
    ASSERT_TRUE(src.Create(1 + random() % 90, 1 + random() % 12));
    ASSERT_TRUE(dest.Create(1 + random() % 90, 1 + random() % 12));
    // Few colours in some rounds, so that keyed runs occur; any byte in others.
    Fill(src, random, round % 2 ? 3 : 256);
    Fill(dest, random, 256);
    const int w = random() % (std::min(src.GetWidth(), dest.GetWidth()) + 1);
    const int h = random() % (std::min(src.GetHeight(), dest.GetHeight()) + 1);
    const int sx = random() % (src.GetWidth() - w + 1), sy = random() % (src.GetHeight() - h + 1);
    const int dx = random() % (dest.GetWidth() - w + 1), dy = random() % (dest.GetHeight() - h + 1);
    const COLORREF key = random() % 4 == 0 ? kNone : (random() % 2 ? 0x01000000u : 0u) | (random() % 3);
    const UINT flags = static_cast<UINT>(random());

    CDIB scalar;
    ASSERT_TRUE(scalar.Create(dest.GetWidth(), dest.GetHeight()));
    for (int y = 0; y < dest.GetHeight(); ++y)
      for (int x = 0; x < dest.GetWidth(); ++x) *scalar.GetPixelAddress(x, y) = *dest.GetPixelAddress(x, y);
    src.CopyBits(&dest, dx, dy, w, h, sx, sy, key, flags);
    ASSERT_TRUE(blockcopy::UseIsa(Isa::Scalar));
    src.CopyBits(&scalar, dx, dy, w, h, sx, sy, key, flags);
    ASSERT_TRUE(blockcopy::UseIsa(GetParam()));
    ASSERT_EQ(Pixels(dest), Pixels(scalar)) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(EachInstructionSet, CopyBits, testing::ValuesIn(SupportedIsas()),
                         [](const testing::TestParamInfo<Isa>& info) { return IsaName(info.param); });

}  // namespace
