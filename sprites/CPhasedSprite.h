// CPhasedSprite: a sprite whose picture is a grid of equal cells, of which the current one is
// the sprite's whole appearance: it is measured, drawn and hit-tested as if it were the picture.
// A small animator steps through the cells, fades them through the dissolve patterns or pauses
// at random, whenever the owner calls Animate.
//
// Cell (row, column) spans x = column × m_nCellWidth and y = row × m_nCellHeight of the picture,
// y counted from the top; columns and rows left over at the right and bottom are in no cell.
#pragma once

#include "CSprite.h"

// Animation modes: the high byte of m_wKind, compared as a whole.
constexpr WORD ANIM_MODE_MASK = 0xFF00;
constexpr WORD ANIM_CYCLE = 0x0100;        // one cell per period
constexpr WORD ANIM_DISSOLVE = 0x0200;     // each cell faded in and out, then the next
constexpr WORD ANIM_RANDOMPAUSE = 0x0400;  // one cell per period, 1 to 100 periods after (0, 0)

class CPhasedSprite : public CSprite {
  DECLARE_SERIAL(CPhasedSprite)

 public:
  CPhasedSprite();

  // The sprite's x, y, z, then rows, columns, row and column. Loading applies the four grid
  // values through the Set operations: a value the picture cannot take is dropped, and all
  // four are always read.
  void Serialize(CArchive& ar) override;

  // Attributes
  // The cell's size.
  int GetWidth() const override;
  int GetHeight() const override;

  // Operations
  // The current cell, composed as CSprite::Render composes the picture; the mirrors turn it
  // about its own centre lines.
  BOOL Render(CDIB* pDest, LPCRECT lpClip = nullptr) override;
  // Inside the current cell; its left column and top row never hit.
  BOOL HitTest(const POINT& point) const override;

  // Overridables
  // After each load: CSprite's, then one cell showing the whole picture.
  void Initialize() override;
  // The current cell, opaque and unscaled, with its top-left corner at point; the result is
  // StretchDIBits's. The palette is whatever pDC holds.
  virtual int DrawCell(CDC* pDC, const POINT& point);
  // One step of the animation mode in m_wKind, due at dwNow; it sets the next due time.
  virtual void Animate(DWORD dwNow);

  // The grid. A size below 1, or one that leaves a cell less than a pixel, is refused with
  // FALSE and nothing changes; a new size selects row (column) 0 and reports nothing.
  BOOL SetNumCellRows(int nRows);
  BOOL SetNumCellColumns(int nColumns);
  // Rows first; the columns' result.
  BOOL SetNumCells(int nRows, int nColumns);

  // The current cell. An index outside the grid, or the cell already shown, is refused with
  // FALSE; a change reports SPRITE_HINT_CHANGED.
  BOOL SetCellRow(int nRow);
  BOOL SetCellColumn(int nColumn);
  // A valid row with an invalid column keeps the row, reports nothing and returns FALSE.
  BOOL SetCell(int nRow, int nColumn);
  // The next cell in row-major order, (0, 0) after the last.
  BOOL NextCell();

  // dwTime, or the current tick count for 0.
  void SetNextTime(DWORD dwTime);

  // The longest wait Animate sets, in periods: the random pause after cell (0, 0).
  static constexpr int kLongestDelayPeriods = 100;

  // Fields, as owners read and set them.
  int m_nRows = 1;
  int m_nColumns = 1;
  int m_nRow = 0;
  int m_nColumn = 0;
  int m_nCellHeight = 0;
  int m_nCellWidth = 0;
  UINT m_nDissolveStep = 0;  // 0 … 9 into the dissolve sequence
  int m_nPeriod = 100;       // milliseconds
  DWORD m_dwNextTime;        // tick count at which the next step is due

 private:
  // Divides nSize pixels into n bands: the count, the current band back to 0 and the band size.
  static BOOL Divide(int n, int nSize, int& nCount, int& nCurrent, int& nBand);
  // The next step dwDelay after dwNow. A sum that wraps to 0 is a time like any other, not the
  // "now" of SetNextTime.
  void ScheduleAfter(DWORD dwNow, DWORD dwDelay) { m_dwNextTime = dwNow + dwDelay; }
};
