#include "CPhasedSprite.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <iterator>

IMPLEMENT_SERIAL(CPhasedSprite, CSprite, 0)

namespace {

// The dissolve modes of one cell: fade in, all pixels, fade out, none while the next cell is
// chosen.
constexpr WORD kDissolveSequence[] = {8, 4, 2, 1, 0, 1, 2, 4, 8, 16};
constexpr UINT kDissolveSteps = static_cast<UINT>(std::size(kDissolveSequence));
// The step after the one that shows every pixel: the cell stays whole this many periods.
constexpr UINT kHoldStep = 5;
constexpr int kHoldPeriods = 20;
// The first step is due long after construction: an owner sets its own time.
constexpr DWORD kFirstDelay = 1000000;

// Offsets past the int range come only from a grid an owner set by hand; they then lie outside
// the picture, and whoever reads there refuses them.
int Clamped(std::int64_t n) { return static_cast<int>(std::clamp<std::int64_t>(n, INT_MIN, INT_MAX)); }

// index × size: the offset of a cell's band.
int Band(std::int64_t nIndex, std::int64_t nSize) { return Clamped(nIndex * nSize); }

}  // namespace

static_assert(kHoldPeriods <= CPhasedSprite::kLongestDelayPeriods);

CPhasedSprite::CPhasedSprite() : m_dwNextTime(GetTickCount() + kFirstDelay) { m_wKind = SPRITE_KIND_PHASED; }

int CPhasedSprite::GetWidth() const { return m_nCellWidth; }

int CPhasedSprite::GetHeight() const { return m_nCellHeight; }

void CPhasedSprite::Initialize() {
  CSprite::Initialize();
  m_nRows = 1;
  m_nColumns = 1;
  m_nRow = 0;
  m_nColumn = 0;
  m_nCellHeight = CSprite::GetHeight();
  m_nCellWidth = CSprite::GetWidth();
}

BOOL CPhasedSprite::Divide(int n, int nSize, int& nCount, int& nCurrent, int& nBand) {
  // A band must be at least a pixel: a grid finer than the picture is refused.
  if (n < 1 || nSize / n < 1) return FALSE;
  nCount = n;
  nCurrent = 0;
  nBand = nSize / n;
  return TRUE;
}

BOOL CPhasedSprite::SetNumCellRows(int nRows) {
  return Divide(nRows, CSprite::GetHeight(), m_nRows, m_nRow, m_nCellHeight);
}

BOOL CPhasedSprite::SetNumCellColumns(int nColumns) {
  return Divide(nColumns, CSprite::GetWidth(), m_nColumns, m_nColumn, m_nCellWidth);
}

BOOL CPhasedSprite::SetNumCells(int nRows, int nColumns) {
  SetNumCellRows(nRows);
  return SetNumCellColumns(nColumns);
}

BOOL CPhasedSprite::SetCellRow(int nRow) {
  if (nRow >= m_nRows || nRow < 0 || nRow == m_nRow) return FALSE;
  m_nRow = nRow;
  NotifyChanged();
  return TRUE;
}

BOOL CPhasedSprite::SetCellColumn(int nColumn) {
  if (nColumn >= m_nColumns || nColumn < 0 || nColumn == m_nColumn) return FALSE;
  m_nColumn = nColumn;
  NotifyChanged();
  return TRUE;
}

BOOL CPhasedSprite::SetCell(int nRow, int nColumn) {
  if (nRow == m_nRow && nColumn == m_nColumn) return FALSE;
  if (nRow >= m_nRows || nRow < 0) return FALSE;
  // The row is taken before the column is checked, and kept when the column is refused.
  m_nRow = nRow;
  if (nColumn >= m_nColumns || nColumn < 0) return FALSE;
  m_nColumn = nColumn;
  NotifyChanged();
  return TRUE;
}

BOOL CPhasedSprite::NextCell() {
  // 64 bits: an owner may have set a grid whose cell count does not fit 32.
  const std::int64_t nCells = std::int64_t{m_nRows} * m_nColumns;
  if (nCells < 1) return FALSE;
  std::int64_t i = std::int64_t{m_nRow} * m_nColumns + m_nColumn + 1;
  if (i >= nCells || i < 0) i = 0;
  return SetCell(static_cast<int>(i / m_nColumns), static_cast<int>(i % m_nColumns));
}

BOOL CPhasedSprite::Render(CDIB* pDest, LPCRECT lpClip) {
  return RenderBlock(pDest, lpClip, Band(m_nColumn, m_nCellWidth), Band(m_nRow, m_nCellHeight));
}

BOOL CPhasedSprite::HitTest(const POINT& point) const {
  return HitTestBlock(point, Band(m_nColumn, m_nCellWidth), Band(m_nRow, m_nCellHeight));
}

int CPhasedSprite::DrawCell(CDC* pDC, const POINT& point) {
  if (m_pDIB == nullptr || m_pDIB->m_pBMI == nullptr) return 0;
  // StretchDIBits counts source rows from the bottom of a bottom-up picture: this is the band
  // that Render reads from the top.
  const int ySrc = Clamped(std::int64_t{CSprite::GetHeight()} - Band(std::int64_t{m_nRow} + 1, m_nCellHeight));
  return ::StretchDIBits(pDC ? pDC->GetSafeHdc() : nullptr, point.x, point.y, m_nCellWidth, m_nCellHeight,
                         Band(m_nColumn, m_nCellWidth), ySrc, m_nCellWidth, m_nCellHeight, m_pDIB->m_pBits, m_pDIB->m_pBMI,
                         DIB_RGB_COLORS, SRCCOPY);
}

void CPhasedSprite::SetNextTime(DWORD dwTime) { m_dwNextTime = dwTime != 0 ? dwTime : GetTickCount(); }

void CPhasedSprite::Animate(DWORD dwNow) {
  const DWORD dwPeriod = static_cast<DWORD>(m_nPeriod);
  switch (m_wKind & ANIM_MODE_MASK) {
    case ANIM_CYCLE:
      NextCell();
      ScheduleAfter(dwNow, dwPeriod);
      break;
    case ANIM_DISSOLVE: {
      // A step an owner set past the sequence starts it again.
      const UINT i = m_nDissolveStep < kDissolveSteps ? m_nDissolveStep : 0;
      m_nDissolveStep = i + 1;
      SetDrawFlags(static_cast<WORD>((m_wDrawFlags & ~DRAW_DISSOLVE_MASK) | kDissolveSequence[i]));
      if (m_nDissolveStep >= kDissolveSteps) {
        m_nDissolveStep = 0;
        NextCell();
      }
      ScheduleAfter(dwNow, m_nDissolveStep == kHoldStep ? kHoldPeriods * dwPeriod : dwPeriod);
      break;
    }
    case ANIM_RANDOMPAUSE: {
      // Chosen on the cell shown before the advance: the pause is spent on the one after (0, 0).
      const DWORD dwDelay =
          m_nRow == 0 && m_nColumn == 0 ? dwPeriod * static_cast<DWORD>(std::rand() % kLongestDelayPeriods + 1) : dwPeriod;
      ScheduleAfter(dwNow, dwDelay);
      NextCell();
      break;
    }
    default: break;
  }
}

void CPhasedSprite::Serialize(CArchive& ar) {
  CSprite::Serialize(ar);
  if (ar.IsStoring()) {
    ar << static_cast<LONG>(m_nRows) << static_cast<LONG>(m_nColumns) << static_cast<LONG>(m_nRow)
       << static_cast<LONG>(m_nColumn);
    return;
  }
  LONG nRows = 0;
  LONG nColumns = 0;
  LONG nRow = 0;
  LONG nColumn = 0;
  ar >> nRows >> nColumns >> nRow >> nColumn;
  SetNumCellRows(nRows);
  SetNumCellColumns(nColumns);
  SetCellRow(nRow);
  SetCellColumn(nColumn);
}
