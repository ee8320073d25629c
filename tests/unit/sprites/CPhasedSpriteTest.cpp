// CPhasedSprite: the grid and its refusals, the current cell as the whole appearance, DrawCell,
// the animator's three modes and archiving.
#include "CPhasedSprite.h"

#include "CDIBPalette.h"
#include "SpriteTestSupport.h"
#include "framework/ArchiveFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace sprite_test;

namespace {

constexpr BYTE kFill = 0xEE;

// 12 × 8 and every pixel different; index 20 (the top-left pixel) appears nowhere else.
BYTE Distinct(int x, int y) { return static_cast<BYTE>(20 + y * 12 + x); }

// 20 × 30, each row a band of values of its own; pixel (3, 15) repeats the top-left index, so an
// opaque draw shows it and a keyed one does not.
BYTE Rows(int x, int y) { return x == 3 && y == 15 ? 20 : static_cast<BYTE>(20 + y * 6 + x % 6); }

CRect RectOf(const CSprite& sprite) {
  CRect rc;
  sprite.GetRect(&rc);
  return rc;
}

struct Cell {
  int row;
  int column;
  friend bool operator==(const Cell&, const Cell&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Cell& c) { return os << "(" << c.row << "," << c.column << ")"; }
};
Cell CellOf(const CPhasedSprite& sprite) { return Cell{sprite.m_nRow, sprite.m_nColumn}; }

class PhasedSprite : public ::testing::Test {
 protected:
  // A loaded picture of Distinct, in a grid of 2 rows and 3 columns of 4 × 4 cells.
  void LoadGrid(CPhasedSprite& sprite) {
    ASSERT_TRUE(m_pictures.Load(sprite, 12, 8, Distinct));
    ASSERT_TRUE(sprite.SetNumCells(2, 3));
  }
  CPictures m_pictures;
};

// A memory device context drawing into a 32-bit surface that a test can read.
class CSurface {
 public:
  CSurface(int nWidth, int nHeight) : m_nWidth(nWidth), m_nHeight(nHeight), m_hDC(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), nWidth, -nHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    m_hBitmap = CreateDIBSection(m_hDC, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    m_pBits = static_cast<std::uint32_t*>(pBits);
    std::fill(m_pBits, m_pBits + nWidth * nHeight, kUntouched);
    m_hOld = SelectObject(m_hDC, m_hBitmap);
  }
  ~CSurface() {
    SelectObject(m_hDC, m_hOld);
    DeleteObject(m_hBitmap);
    DeleteDC(m_hDC);
  }
  CSurface(const CSurface&) = delete;
  CSurface& operator=(const CSurface&) = delete;

  std::uint32_t At(int x, int y) const {
    GdiFlush();
    return m_pBits[y * m_nWidth + x];
  }

  static constexpr std::uint32_t kUntouched = 0x00777777;
  int m_nWidth;
  int m_nHeight;
  HDC m_hDC;

 private:
  HBITMAP m_hBitmap = nullptr;
  std::uint32_t* m_pBits = nullptr;
  HGDIOBJ m_hOld = nullptr;
};

std::uint32_t SurfaceColor(BYTE index) {
  const RGBQUAD c = ColorOf(index);
  return (std::uint32_t{c.rgbRed} << 16) | (std::uint32_t{c.rgbGreen} << 8) | c.rgbBlue;
}

}  // namespace

TEST_F(PhasedSprite, IsARegisteredRuntimeClassWithItsDefaults) {
  const DWORD dwBefore = GetTickCount();
  const std::unique_ptr<CObject> pObject =
      CreateRegistered("CPhasedSprite", RUNTIME_CLASS(CPhasedSprite), RUNTIME_CLASS(CSprite));
  const DWORD dwAfter = GetTickCount();
  ASSERT_NE(pObject, nullptr);
  const auto& sprite = static_cast<const CPhasedSprite&>(*pObject);
  EXPECT_EQ(sprite.m_wKind, 8);
  EXPECT_EQ(sprite.m_wDrawFlags, 0x1000);
  EXPECT_EQ(sprite.m_pDIB, nullptr);
  EXPECT_TRUE(sprite.m_bOwnDIB);
  EXPECT_EQ(sprite.m_nRows, 1);
  EXPECT_EQ(sprite.m_nColumns, 1);
  EXPECT_EQ(CellOf(sprite), (Cell{0, 0}));
  EXPECT_EQ(sprite.m_nCellHeight, 0);
  EXPECT_EQ(sprite.m_nCellWidth, 0);
  EXPECT_EQ(sprite.m_nDissolveStep, 0u);
  EXPECT_EQ(sprite.m_nPeriod, 100);
  EXPECT_GE(sprite.m_dwNextTime - 1000000, dwBefore);
  EXPECT_LE(sprite.m_dwNextTime - 1000000, dwAfter);
}

// ---- The grid

TEST_F(PhasedSprite, GridSizesThatLeaveCellsOfAPixelOrMoreAreTaken) {
  CPhasedSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 20, 30, Rows));
  const struct {
    int n;
    BOOL bTaken;
    int nRows;
    int nCellHeight;
  } rows[] = {{3, TRUE, 3, 10}, {4, TRUE, 4, 7}, {31, FALSE, 4, 7}, {0, FALSE, 4, 7},
              {-2, FALSE, 4, 7}, {30, TRUE, 30, 1}, {1, TRUE, 1, 30}};
  for (const auto& r : rows) {
    EXPECT_EQ(sprite.SetNumCellRows(r.n), r.bTaken) << r.n;
    EXPECT_EQ(sprite.m_nRows, r.nRows) << r.n;
    EXPECT_EQ(sprite.m_nCellHeight, r.nCellHeight) << r.n;
    EXPECT_EQ(sprite.GetHeight(), r.nCellHeight) << r.n;
  }
  const struct {
    int n;
    BOOL bTaken;
    int nColumns;
    int nCellWidth;
  } columns[] = {{3, TRUE, 3, 6}, {21, FALSE, 3, 6}, {0, FALSE, 3, 6}, {20, TRUE, 20, 1}, {2, TRUE, 2, 10}};
  for (const auto& c : columns) {
    EXPECT_EQ(sprite.SetNumCellColumns(c.n), c.bTaken) << c.n;
    EXPECT_EQ(sprite.m_nColumns, c.nColumns) << c.n;
    EXPECT_EQ(sprite.m_nCellWidth, c.nCellWidth) << c.n;
    EXPECT_EQ(sprite.GetWidth(), c.nCellWidth) << c.n;
  }
}

TEST_F(PhasedSprite, ANewGridSizeSelectsItsFirstBandQuietly) {
  CPhasedSprite sprite;
  LoadGrid(sprite);
  ASSERT_TRUE(sprite.SetCell(1, 2));
  CRecordingNotify sink;
  sprite.m_pNotify = &sink;
  EXPECT_TRUE(sprite.SetNumCellRows(4));
  EXPECT_EQ(CellOf(sprite), (Cell{0, 2}));
  EXPECT_TRUE(sink.m_calls.empty());
  ASSERT_TRUE(sprite.SetCell(3, 2));
  sink.m_calls.clear();
  EXPECT_TRUE(sprite.SetNumCellColumns(2));
  EXPECT_EQ(CellOf(sprite), (Cell{3, 0}));
  EXPECT_TRUE(sink.m_calls.empty());
}

TEST_F(PhasedSprite, SetNumCellsAnswersForTheColumns) {
  CPhasedSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 20, 30, Rows));
  sprite.m_x = 4;
  sprite.m_y = 5;
  EXPECT_TRUE(sprite.SetNumCells(3, 1));
  EXPECT_EQ(sprite.GetWidth(), 20);
  EXPECT_EQ(sprite.GetHeight(), 10);
  EXPECT_EQ(RectOf(sprite), CRect(4, 5, 24, 15));
  EXPECT_TRUE(sprite.SetNumCells(31, 2));
  EXPECT_EQ(sprite.m_nRows, 3);
  EXPECT_EQ(sprite.m_nColumns, 2);
  EXPECT_FALSE(sprite.SetNumCells(5, 21));
  EXPECT_EQ(sprite.m_nRows, 5);
  EXPECT_EQ(sprite.m_nColumns, 2);
}

TEST_F(PhasedSprite, EveryLoadReturnsToOneCell) {
  CPhasedSprite sprite;
  LoadGrid(sprite);
  ASSERT_TRUE(sprite.SetCell(1, 1));
  ASSERT_TRUE(m_pictures.Load(sprite, 20, 30, Rows));
  EXPECT_EQ(sprite.m_nRows, 1);
  EXPECT_EQ(sprite.m_nColumns, 1);
  EXPECT_EQ(CellOf(sprite), (Cell{0, 0}));
  EXPECT_EQ(sprite.GetWidth(), 20);
  EXPECT_EQ(sprite.GetHeight(), 30);
  EXPECT_EQ(sprite.m_nTransparent, 20);
}

// ---- The current cell

TEST_F(PhasedSprite, CellChangesAreReportedAndRefusalsAreNot) {
  CPhasedSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 20, 30, Rows));
  ASSERT_TRUE(sprite.SetNumCells(3, 1));
  sprite.m_x = 1;
  sprite.m_y = 2;
  CRecordingNotify sink;
  sprite.m_pNotify = &sink;
  const CRect rc(1, 2, 21, 12);
  const struct {
    const char* what;
    std::function<BOOL()> call;
    BOOL bResult;
    Cell after;
  } steps[] = {
      {"SetCell(0, 0), the current cell", [&] { return sprite.SetCell(0, 0); }, FALSE, {0, 0}},
      {"SetCell(2, 5), a column outside", [&] { return sprite.SetCell(2, 5); }, FALSE, {2, 0}},
      {"SetCell(2, 0), now the current cell", [&] { return sprite.SetCell(2, 0); }, FALSE, {2, 0}},
      {"SetCell(1, 0)", [&] { return sprite.SetCell(1, 0); }, TRUE, {1, 0}},
      {"SetCell(3, 0), a row outside", [&] { return sprite.SetCell(3, 0); }, FALSE, {1, 0}},
      {"SetCell(-1, 0)", [&] { return sprite.SetCell(-1, 0); }, FALSE, {1, 0}},
      {"SetCellRow(1), the current row", [&] { return sprite.SetCellRow(1); }, FALSE, {1, 0}},
      {"SetCellRow(3)", [&] { return sprite.SetCellRow(3); }, FALSE, {1, 0}},
      {"SetCellRow(-1)", [&] { return sprite.SetCellRow(-1); }, FALSE, {1, 0}},
      {"SetCellRow(0)", [&] { return sprite.SetCellRow(0); }, TRUE, {0, 0}},
      {"SetCellColumn(0), the current column", [&] { return sprite.SetCellColumn(0); }, FALSE, {0, 0}},
      {"SetCellColumn(1)", [&] { return sprite.SetCellColumn(1); }, FALSE, {0, 0}},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(step.call(), step.bResult) << step.what;
    EXPECT_EQ(CellOf(sprite), step.after) << step.what;
  }
  EXPECT_EQ(sink.m_calls, (std::vector<Call>{Changed(sprite, rc), Changed(sprite, rc)}));
}

TEST_F(PhasedSprite, NextCellGoesRowByRowAndWrapsToTheFirst) {
  CPhasedSprite sprite;
  LoadGrid(sprite);
  CRecordingNotify sink;
  sprite.m_pNotify = &sink;
  std::vector<Cell> visited;
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(sprite.NextCell());
    visited.push_back(CellOf(sprite));
  }
  EXPECT_EQ(visited, (std::vector<Cell>{{0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {0, 0}}));
  EXPECT_EQ(sink.m_calls.size(), 6u);

  CPhasedSprite single;
  ASSERT_TRUE(m_pictures.Load(single, 3, 3, Distinct));
  EXPECT_FALSE(single.NextCell());
  EXPECT_EQ(CellOf(single), (Cell{0, 0}));
}

// Each cell, each mirror, a few clips: the cell composed as if it were the picture, turned
// about its own centre lines; inside the clip exactly what the unclipped render shows.
TEST_F(PhasedSprite, RendersAndHitTestsTheCurrentCellAsItsPicture) {
  constexpr int X = 3, Y = 2, CW = 4, CH = 4;
  const CRect clips[] = {{0, 0, 10, 10}, {0, 0, 5, 10}, {4, 3, 6, 5}, {6, 4, 10, 10}};
  for (int row = 0; row < 2; ++row)
    for (int column = 0; column < 3; ++column)
      for (const WORD wFlags : {WORD{0}, DRAW_MIRROR_X, DRAW_MIRROR_Y, WORD{DRAW_MIRROR_X | DRAW_MIRROR_Y}}) {
        SCOPED_TRACE(::testing::Message() << "cell " << row << "," << column << ", flags " << wFlags);
        CPhasedSprite sprite;
        LoadGrid(sprite);
        sprite.SetCell(row, column);
        sprite.m_x = X;
        sprite.m_y = Y;
        sprite.m_wDrawFlags = wFlags;
        const auto whole = [&](int x, int y) -> int {
          if (x < X || x >= X + CW || y < Y || y >= Y + CH) return kFill;
          const int cx = (wFlags & DRAW_MIRROR_X) ? X + CW - 1 - x : x - X;
          const int cy = (wFlags & DRAW_MIRROR_Y) ? Y + CH - 1 - y : y - Y;
          const BYTE value = Distinct(column * CW + cx, row * CH + cy);
          return value == 20 ? kFill : value;
        };
        for (const CRect& clip : clips) {
          const auto scene = Scene(10, 10, kFill);
          EXPECT_TRUE(sprite.Render(scene.get(), &clip));
          EXPECT_TRUE(SceneIs(*scene, [&](int x, int y) { return clip.PtInRect(CPoint(x, y)) ? whole(x, y) : kFill; }))
              << "clip " << clip.left << "," << clip.top << "," << clip.right << "," << clip.bottom;
        }
        for (int y = 0; y < 10; ++y)
          for (int x = 0; x < 10; ++x) {
            const bool inside = x > X && x < X + CW && y > Y && y < Y + CH;
            const bool opaque = inside && Distinct(column * CW + x - X, row * CH + y - Y) != 20;
            EXPECT_EQ(sprite.HitTest(CPoint(x, y)), opaque) << x << "," << y;
          }
      }
}

TEST_F(PhasedSprite, HitTestLooksAtTheCurrentCellOnly) {
  // 2 × 2 cells of 4 × 4: (0, 0) and (1, 1) wholly transparent, the others wholly opaque.
  CPhasedSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 8, 8, [](int x, int y) { return static_cast<BYTE>((x / 4 + y / 4) % 2 ? 30 : 20); }));
  ASSERT_TRUE(sprite.SetNumCells(2, 2));
  for (const Cell cell : {Cell{0, 0}, Cell{0, 1}, Cell{1, 0}, Cell{1, 1}}) {
    sprite.SetCell(cell.row, cell.column);
    EXPECT_EQ(sprite.HitTest(CPoint(2, 2)), (cell.row + cell.column) % 2 == 1) << cell;
  }
}

// Source y counts from the bottom for StretchDIBits and from the top for Render; the middle row
// of three reads the same either way, the others do not.
TEST_F(PhasedSprite, DrawCellAndRenderReadTheSameBand) {
  for (const int nRow : {1, 0, 2}) {
    SCOPED_TRACE(nRow);
    CPhasedSprite sprite;
    ASSERT_TRUE(m_pictures.Load(sprite, 20, 30, Rows));
    ASSERT_TRUE(sprite.SetNumCells(3, 1));
    sprite.SetCell(nRow, 0);

    // Opaque, one to one, whatever the flags say.
    sprite.m_wDrawFlags = DRAW_MIRROR_X | DRAW_MIRROR_Y | 0x0010;
    CSurface surface(26, 16);
    CDC dc(surface.m_hDC);
    EXPECT_NE(sprite.DrawCell(&dc, CPoint(2, 3)), 0);
    for (int y = 0; y < surface.m_nHeight; ++y)
      for (int x = 0; x < surface.m_nWidth; ++x) {
        const bool inside = x >= 2 && x < 22 && y >= 3 && y < 13;
        EXPECT_EQ(surface.At(x, y), inside ? SurfaceColor(Rows(x - 2, 10 * nRow + y - 3)) : CSurface::kUntouched)
            << x << "," << y;
      }

    sprite.m_wDrawFlags = 0;
    const auto scene = Scene(20, 10, kFill);
    sprite.Render(scene.get());
    EXPECT_TRUE(SceneIs(*scene, [=](int x, int y) {
      const BYTE value = Rows(x, 10 * nRow + y);
      return value == 20 ? kFill : value;
    }));
  }
}

TEST_F(PhasedSprite, DrawCellTakesTheCellOfEveryRowAndColumn) {
  CPhasedSprite sprite;
  LoadGrid(sprite);
  for (int row = 0; row < 2; ++row)
    for (int column = 0; column < 3; ++column) {
      sprite.SetCell(row, column);
      CSurface surface(6, 6);
      CDC dc(surface.m_hDC);
      EXPECT_NE(sprite.DrawCell(&dc, CPoint(1, 1)), 0);
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
          const bool inside = x >= 1 && x < 5 && y >= 1 && y < 5;
          EXPECT_EQ(surface.At(x, y),
                    inside ? SurfaceColor(Distinct(column * 4 + x - 1, row * 4 + y - 1)) : CSurface::kUntouched)
              << "cell " << row << "," << column << " at " << x << "," << y;
        }
    }
}

// ---- The animator

TEST_F(PhasedSprite, DissolveFadesEachCellInAndOutOverTwentyNinePeriods) {
  for (const int nPeriod : {100, 7}) {
    SCOPED_TRACE(nPeriod);
    CPhasedSprite sprite;
    ASSERT_TRUE(m_pictures.Load(sprite, 12, 8, Distinct));
    ASSERT_TRUE(sprite.SetNumCells(1, 2));
    sprite.m_wKind |= ANIM_DISSOLVE;
    sprite.m_nPeriod = nPeriod;
    sprite.m_wDrawFlags = 0x1000 | DRAW_MIRROR_X;
    CRecordingNotify sink;
    sprite.m_pNotify = &sink;

    const DWORD T = 5000, P = static_cast<DWORD>(nPeriod);
    const struct {
      DWORD dwDue;  // when the owner calls
      WORD wMode;   // the dissolve mode the step sets
      DWORD dwNext;
      int nColumn;
    } expected[] = {
        {T, 8, T + P, 0},
        {T + P, 4, T + 2 * P, 0},
        {T + 2 * P, 2, T + 3 * P, 0},
        {T + 3 * P, 1, T + 4 * P, 0},
        {T + 4 * P, 0, T + 24 * P, 0},  // the whole cell, for twenty periods
        {T + 24 * P, 1, T + 25 * P, 0},
        {T + 25 * P, 2, T + 26 * P, 0},
        {T + 26 * P, 4, T + 27 * P, 0},
        {T + 27 * P, 8, T + 28 * P, 0},
        {T + 28 * P, 16, T + 29 * P, 1},  // hidden while the next cell is chosen
        {T + 29 * P, 8, T + 30 * P, 1},
    };
    DWORD dwNow = T;
    for (const auto& step : expected) {
      ASSERT_EQ(dwNow, step.dwDue);
      sprite.Animate(dwNow);
      EXPECT_EQ(sprite.m_wDrawFlags, 0x1000 | DRAW_MIRROR_X | step.wMode) << "at " << dwNow - T;
      EXPECT_EQ(sprite.m_dwNextTime, step.dwNext) << "at " << dwNow - T;
      EXPECT_EQ(sprite.m_nColumn, step.nColumn) << "at " << dwNow - T;
      dwNow = sprite.m_dwNextTime;
    }
    // Each step changes the flags; the step that hides the sprite changes the cell too.
    const CRect rc(0, 0, 6, 8);
    EXPECT_EQ(sink.m_calls, std::vector<Call>(std::size(expected) + 1, Changed(sprite, rc)));
  }
}

// The sink of the step that hides the sprite sees it hidden before the cell changes.
TEST_F(PhasedSprite, TheStepThatHidesTheSpriteChangesTheFlagsBeforeTheCell) {
  struct CStateNotify : CSpriteNotify {
    void Change(CObject* pSender, DWORD, LPCRECT, LPCRECT) override {
      const auto* pSprite = static_cast<const CPhasedSprite*>(pSender);
      m_seen.push_back({pSprite->m_wDrawFlags & DRAW_DISSOLVE_MASK, pSprite->m_nColumn});
    }
    std::vector<std::pair<int, int>> m_seen;  // dissolve mode, column
  } sink;
  CPhasedSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 12, 8, Distinct));
  ASSERT_TRUE(sprite.SetNumCells(1, 2));
  sprite.m_wKind |= ANIM_DISSOLVE;
  sprite.m_nDissolveStep = 9;
  sprite.m_pNotify = &sink;
  sprite.Animate(1000);
  EXPECT_EQ(sink.m_seen, (std::vector<std::pair<int, int>>{{16, 0}, {16, 1}}));
}

TEST_F(PhasedSprite, DissolveStartsAgainFromAStepPastItsSequence) {
  CPhasedSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 4, 4, Distinct));
  sprite.m_wKind = 8 | ANIM_DISSOLVE;
  sprite.m_nDissolveStep = 42;
  sprite.Animate(1000);
  EXPECT_EQ(sprite.m_wDrawFlags, 0x1000 | 8);
  EXPECT_EQ(sprite.m_nDissolveStep, 1u);
  EXPECT_EQ(sprite.m_dwNextTime, 1100u);
}

TEST_F(PhasedSprite, CycleAdvancesOneCellPerPeriod) {
  CPhasedSprite sprite;
  LoadGrid(sprite);
  sprite.m_wKind = 8 | ANIM_CYCLE;
  sprite.m_nPeriod = 250;
  sprite.Animate(1000);
  EXPECT_EQ(CellOf(sprite), (Cell{0, 1}));
  EXPECT_EQ(sprite.m_dwNextTime, 1250u);
  // The tick count wraps after 49.7 days; so does the due time.
  sprite.Animate(0xFFFFFFA0u);
  EXPECT_EQ(CellOf(sprite), (Cell{0, 2}));
  EXPECT_EQ(sprite.m_dwNextTime, 0x9Au);
  EXPECT_EQ(sprite.m_wDrawFlags, 0x1000);
}

TEST_F(PhasedSprite, RandomPausesFollowTheFirstCellAndLastOneToAHundredPeriods) {
  constexpr unsigned kSeed = 20240611;
  constexpr DWORD P = 30;
  // One cell: every step is a pause, drawn from rand as the C library gives it.
  {
    CPhasedSprite sprite;
    ASSERT_TRUE(m_pictures.Load(sprite, 4, 4, Distinct));
    sprite.m_wKind = 8 | ANIM_RANDOMPAUSE;
    sprite.m_nPeriod = P;
    std::srand(kSeed);
    std::vector<DWORD> delays;
    DWORD dwNow = 1000;
    for (int i = 0; i < 300; ++i) {
      sprite.Animate(dwNow);
      delays.push_back(sprite.m_dwNextTime - dwNow);
      dwNow = sprite.m_dwNextTime;
    }
    std::srand(kSeed);
    DWORD dwShortest = ~DWORD{0}, dwLongest = 0;
    for (const DWORD dwDelay : delays) {
      EXPECT_EQ(dwDelay, P * static_cast<DWORD>(std::rand() % 100 + 1));
      EXPECT_EQ(dwDelay % P, 0u);
      EXPECT_GE(dwDelay, P);
      EXPECT_LE(dwDelay, 100 * P);
      dwShortest = std::min(dwShortest, dwDelay);
      dwLongest = std::max(dwLongest, dwDelay);
    }
    EXPECT_LT(dwShortest, 10 * P);
    EXPECT_GT(dwLongest, 90 * P);
  }
  // Three cells: the pause is chosen on (0, 0) and spent on the cell after it.
  {
    CPhasedSprite sprite;
    LoadGrid(sprite);
    ASSERT_TRUE(sprite.SetNumCells(1, 3));
    sprite.m_wKind = 8 | ANIM_RANDOMPAUSE;
    sprite.m_nPeriod = P;
    std::srand(kSeed);
    std::vector<std::pair<int, DWORD>> steps;  // the cell shown after the step, and for how long
    for (int i = 0; i < 9; ++i) {
      sprite.Animate(0);
      steps.emplace_back(sprite.m_nColumn, sprite.m_dwNextTime);
    }
    std::srand(kSeed);
    for (int i = 0; i < 9; ++i) {
      const std::pair<int, DWORD> want = i % 3 == 0 ? std::pair{1, P * static_cast<DWORD>(std::rand() % 100 + 1)}
                                                    : std::pair{(i % 3 + 1) % 3, P};
      EXPECT_EQ(steps[i], want) << "step " << i;
    }
  }
}

TEST_F(PhasedSprite, OtherModesDoNothing) {
  for (const WORD wMode : {WORD{0x0000}, WORD{0x0300}, WORD{0x0500}, WORD{0x0800}, WORD{0xFF00}}) {
    CPhasedSprite sprite;
    LoadGrid(sprite);
    sprite.m_wKind = 8 | wMode;
    sprite.m_dwNextTime = 1234;
    CRecordingNotify sink;
    sprite.m_pNotify = &sink;
    sprite.Animate(5000);
    EXPECT_EQ(sprite.m_dwNextTime, 1234u) << wMode;
    EXPECT_EQ(CellOf(sprite), (Cell{0, 0})) << wMode;
    EXPECT_EQ(sprite.m_wDrawFlags, 0x1000) << wMode;
    EXPECT_EQ(sprite.m_nDissolveStep, 0u) << wMode;
    EXPECT_TRUE(sink.m_calls.empty()) << wMode;
  }
}

TEST_F(PhasedSprite, NextTimeZeroMeansNow) {
  CPhasedSprite sprite;
  sprite.SetNextTime(77);
  EXPECT_EQ(sprite.m_dwNextTime, 77u);
  const DWORD dwBefore = GetTickCount();
  sprite.SetNextTime(0);
  EXPECT_GE(sprite.m_dwNextTime - dwBefore, 0u);
  EXPECT_LE(sprite.m_dwNextTime - dwBefore, GetTickCount() - dwBefore);
}

// ---- Palettes

TEST_F(PhasedSprite, RemappingKeepsTheGridAndTheCell) {
  CPhasedSprite sprite;
  LoadGrid(sprite);
  ASSERT_TRUE(sprite.SetCell(1, 2));
  CDIBPalette palette;
  ASSERT_EQ(palette.Create(sprite.m_pDIB), 1);
  EXPECT_EQ(sprite.MapColorsToPalette(&palette), 1);
  EXPECT_EQ(sprite.m_nRows, 2);
  EXPECT_EQ(sprite.m_nColumns, 3);
  EXPECT_EQ(CellOf(sprite), (Cell{1, 2}));
  EXPECT_EQ(sprite.GetWidth(), 4);
  EXPECT_EQ(sprite.m_nTransparent, At(*sprite.m_pDIB, 0, 0));
}

// ---- Without a picture

TEST_F(PhasedSprite, WithoutAPictureNothingIsMeasuredDrawnOrAnimatedIntoHarm) {
  CPhasedSprite sprite;
  EXPECT_FALSE(sprite.SetNumCellRows(1));
  EXPECT_FALSE(sprite.SetNumCellColumns(1));
  EXPECT_FALSE(sprite.NextCell());
  EXPECT_EQ(sprite.GetWidth(), 0);
  const auto scene = Scene(8, 8, kFill);
  EXPECT_FALSE(sprite.Render(scene.get()));
  EXPECT_FALSE(sprite.HitTest(CPoint(1, 1)));
  CSurface surface(4, 4);
  CDC dc(surface.m_hDC);
  EXPECT_EQ(sprite.DrawCell(&dc, CPoint(0, 0)), 0);
  for (const WORD wMode : {ANIM_CYCLE, ANIM_DISSOLVE, ANIM_RANDOMPAUSE}) {
    sprite.m_wKind = 8 | wMode;
    for (int i = 0; i < 12; ++i) sprite.Animate(static_cast<DWORD>(i));
  }
  EXPECT_TRUE(SceneIs(*scene, [](int, int) { return int{kFill}; }));

  // A picture drawn into no device context.
  ASSERT_TRUE(m_pictures.Load(sprite, 4, 4, Distinct));
  EXPECT_EQ(sprite.DrawCell(nullptr, CPoint(0, 0)), 0);
}

// ---- Archiving

TEST_F(PhasedSprite, StoresThePositionThenTheGrid) {
  TempDir dir;
  CPhasedSprite sprite;
  LoadGrid(sprite);
  ASSERT_TRUE(sprite.SetCell(1, 2));
  sprite.m_x = 2;
  sprite.m_y = 3;
  sprite.m_z = -1;
  const std::string data("\x02\0\0\0\x03\0\0\0\xFF\xFF\xFF\xFF\x02\0\0\0\x03\0\0\0\x01\0\0\0\x02\0\0\0", 28);
  EXPECT_EQ(StoreBytes(dir, [&](CArchive& ar) { sprite.Serialize(ar); }), data);
  EXPECT_EQ(StoreBytes(dir, [&](CArchive& ar) { ar << &sprite; }),
            std::string("\xFF\xFF\0\0\x0D\0CPhasedSprite", 19) + data);
}

TEST_F(PhasedSprite, LoadsTheGridIntoThePictureLoadedBefore) {
  TempDir dir;
  CPhasedSprite stored;
  LoadGrid(stored);
  ASSERT_TRUE(stored.SetCell(1, 2));
  stored.m_x = -6;
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { ar << &stored; });

  CPhasedSprite loaded;
  ASSERT_TRUE(m_pictures.Load(loaded, 12, 8, Distinct));
  LoadBytes(dir, bytes, [&](CArchive& ar) {
    ASSERT_EQ(ar.ReadClass(RUNTIME_CLASS(CPhasedSprite)), RUNTIME_CLASS(CPhasedSprite));
    loaded.Serialize(ar);
  });
  EXPECT_EQ(loaded.m_x, -6);
  EXPECT_EQ(loaded.m_nRows, 2);
  EXPECT_EQ(loaded.m_nColumns, 3);
  EXPECT_EQ(CellOf(loaded), (Cell{1, 2}));
  EXPECT_EQ(RectOf(loaded), CRect(-6, 0, -2, 4));
}

// A value the picture cannot take is dropped; the four are read all the same, so what follows
// them in the archive is read in step.
TEST_F(PhasedSprite, LoadingDropsGridValuesThePictureCannotTake) {
  TempDir dir;
  const std::string bytes = StoreBytes(dir, [](CArchive& ar) {
    ar << LONG{1} << LONG{2} << LONG{3};                // x, y, z
    ar << LONG{9} << LONG{3} << LONG{5} << LONG{2};     // 9 rows of an 8-pixel picture; row 5 of 1
    ar << LONG{0x13579BDF};
  });
  CPhasedSprite loaded;
  ASSERT_TRUE(m_pictures.Load(loaded, 12, 8, Distinct));
  ASSERT_TRUE(loaded.SetNumCells(2, 2));
  CRecordingNotify sink;
  loaded.m_pNotify = &sink;
  LoadBytes(dir, bytes, [&](CArchive& ar) {
    loaded.Serialize(ar);
    LONG after = 0;
    ar >> after;
    EXPECT_EQ(after, 0x13579BDF);
  });
  EXPECT_EQ(loaded.m_nRows, 1);
  EXPECT_EQ(loaded.m_nColumns, 3);
  EXPECT_EQ(CellOf(loaded), (Cell{0, 2}));
  EXPECT_EQ(sink.m_calls, (std::vector<Call>{Changed(loaded, CRect(1, 2, 5, 10))}));

  // Created by name it has no picture: every grid value is dropped, and the stream stays in step.
  LoadBytes(dir, bytes, [&](CArchive& ar) {
    std::unique_ptr<CPhasedSprite> pSprite(new CPhasedSprite);
    pSprite->Serialize(ar);
    LONG after = 0;
    ar >> after;
    EXPECT_EQ(after, 0x13579BDF);
    EXPECT_EQ(pSprite->m_nRows, 1);
    EXPECT_EQ(pSprite->m_nColumns, 1);
    EXPECT_EQ(pSprite->m_x, 1);
  });
}

// Read by class name, a sprite has no picture: whatever position the archive holds, it measures
// 0 × 0, draws nothing, hits nothing, refuses every grid and animates harmlessly.
TEST_F(PhasedSprite, ASpriteReadByClassNameHasNoPictureAndStaysSafe) {
  TempDir dir;
  for (const CRuntimeClass* pClass : {RUNTIME_CLASS(CSprite), RUNTIME_CLASS(CPhasedSprite)}) {
    SCOPED_TRACE(pClass->m_lpszClassName);
    const std::string name = pClass->m_lpszClassName;
    std::string bytes = std::string("\xFF\xFF\0\0", 4) + char(name.size()) + '\0' + name;
    const LONG fields[] = {INT_MAX - 1, INT_MIN, 0, 4, 4, 3, 3};  // x, y, z; a phased sprite's grid
    bytes.append(reinterpret_cast<const char*>(fields), pClass == RUNTIME_CLASS(CSprite) ? 12 : sizeof fields);
    std::unique_ptr<CObject> pOb;
    LoadBytes(dir, bytes, [&](CArchive& ar) { pOb.reset(ar.ReadObject(pClass)); });
    auto* pSprite = dynamic_cast<CSprite*>(pOb.get());
    ASSERT_NE(pSprite, nullptr);
    EXPECT_EQ(pSprite->m_pDIB, nullptr);
    EXPECT_EQ(pSprite->m_x, INT_MAX - 1);
    EXPECT_EQ(RectOf(*pSprite), CRect(INT_MAX - 1, INT_MIN, INT_MAX - 1, INT_MIN));

    const auto scene = Scene(8, 8, 7);
    for (WORD wFlags : {0, DRAW_MIRROR_X | DRAW_MIRROR_Y | 2}) {
      pSprite->SetDrawFlags(wFlags);
      EXPECT_FALSE(pSprite->Render(scene.get()));
    }
    pSprite->SetPosition(1, 1);
    EXPECT_FALSE(pSprite->Render(scene.get(), CRect(0, 0, 8, 8)));
    EXPECT_TRUE(SceneIs(*scene, [](int, int) { return 7; }));
    EXPECT_FALSE(pSprite->HitTest(CPoint(2, 2)));
    EXPECT_EQ(pSprite->MapColorsToPalette(nullptr), 0);

    if (auto* pPhased = dynamic_cast<CPhasedSprite*>(pSprite)) {
      EXPECT_EQ(pPhased->m_nRows, 1);
      EXPECT_FALSE(pPhased->SetNumCells(2, 2));
      EXPECT_FALSE(pPhased->SetCell(0, 1));
      EXPECT_FALSE(pPhased->NextCell());
      for (WORD wMode : {ANIM_CYCLE, ANIM_DISSOLVE, ANIM_RANDOMPAUSE}) {
        pPhased->m_wKind = SPRITE_KIND_PHASED | wMode;
        for (DWORD dwNow = 1; dwNow <= 12; ++dwNow) pPhased->Animate(dwNow);
      }
      EXPECT_EQ(CellOf(*pPhased), (Cell{0, 0}));
      EXPECT_EQ(pPhased->DrawCell(nullptr, CPoint(0, 0)), 0);
      EXPECT_FALSE(pPhased->Render(scene.get()));
    }
  }
}
