#include "CSprite.h"

#include "AfxMessageBox.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>

IMPLEMENT_SERIAL(CSprite, CObject, 0)

namespace {

// The transparent colour in CDIB::CopyBits's palette-index form: a sprite is always keyed.
constexpr DWORD kPaletteIndex = 0x01000000;

// The far edge of a span; a sprite placed near the end of the coordinate range stops there
// rather than wrapping round to the other side.
int Reach(int nOrigin, int nSize) {
  const std::int64_t edge = std::int64_t{nOrigin} + std::max(nSize, 0);
  return static_cast<int>(std::min<std::int64_t>(edge, INT_MAX));
}

}  // namespace

CSprite::CSprite() = default;

CSprite::~CSprite() {
  if (m_bOwnDIB) delete m_pDIB;
}

int CSprite::GetWidth() const { return m_pDIB ? m_pDIB->GetWidth() : 0; }

int CSprite::GetHeight() const { return m_pDIB ? m_pDIB->GetHeight() : 0; }

void CSprite::GetRect(LPRECT lpRect) const {
  *lpRect = RECT{m_x, m_y, Reach(m_x, GetWidth()), Reach(m_y, GetHeight())};
}

void CSprite::DropPicture() {
  if (m_bOwnDIB) delete m_pDIB;
  m_pDIB = nullptr;
}

template <class Fn>
BOOL CSprite::LoadWith(Fn load, bool bRequire8) {
  if (m_pDIB == nullptr) {
    m_pDIB = new (std::nothrow) CDIB;
    if (m_pDIB == nullptr) return FALSE;
    m_bOwnDIB = TRUE;
  }
  if (!load(*m_pDIB) || m_pDIB->m_pBMI == nullptr) {
    DropPicture();
    return FALSE;
  }
  if (bRequire8 && m_pDIB->m_pBMI->bmiHeader.biBitCount != 8) {
    AfxMessageBox("Only 8 bpp DIBs are supported", MB_OK);
    DropPicture();
    return FALSE;
  }
  Initialize();
  return TRUE;
}

BOOL CSprite::LoadFromResource(UINT nID) {
  return LoadWith([nID](CDIB& dib) { return dib.LoadFromResource(nID); }, false);
}

BOOL CSprite::Load(const char* pszName, const char* pszPalette) {
  return LoadWith([=](CDIB& dib) { return dib.Load(pszName, pszPalette); }, true);
}

BOOL CSprite::LoadFromFile(CFile* pFile, const char* pszPalette) {
  return LoadWith([=](CDIB& dib) { return dib.LoadFromFile(pFile, pszPalette, FALSE, 0); }, false);
}

int CSprite::MapColorsToPalette(CPalette* pPalette) {
  if (m_pDIB == nullptr) return 0;
  const int result = m_pDIB->MapColorsToPalette(pPalette);
  // Not the virtual one: a phased sprite keeps its grid and its cell.
  CSprite::Initialize();
  return result;
}

BOOL CSprite::Render(CDIB* pDest, LPCRECT lpClip) { return RenderBlock(pDest, lpClip, 0, 0); }

BOOL CSprite::RenderBlock(CDIB* pDest, LPCRECT lpClip, int nLeft, int nTop) {
  if (m_pDIB == nullptr || pDest == nullptr) return FALSE;
  CRect rcSprite;
  GetRect(&rcSprite);
  CRect rc = rcSprite;
  if (lpClip != nullptr && !rc.IntersectRect(lpClip, &rcSprite)) return FALSE;
  // A clip is meant to lie inside the destination; one that reaches past it is cut back here,
  // so the part inside is drawn instead of the whole block being refused.
  const CRect rcDest = pDest->GetRect();
  if (!rc.IntersectRect(&rc, &rcDest)) return TRUE;

  // The mirrors bring the block's far side into rc, so a clipped mirrored sprite shows the
  // pixels the unclipped one shows there.
  const std::int64_t sx = (m_wDrawFlags & DRAW_MIRROR_X) ? std::int64_t{nLeft} + m_x + GetWidth() - rc.right
                                                         : std::int64_t{nLeft} + rc.left - m_x;
  const std::int64_t sy = (m_wDrawFlags & DRAW_MIRROR_Y) ? std::int64_t{nTop} + m_y + GetHeight() - rc.bottom
                                                         : std::int64_t{nTop} + rc.top - m_y;
  m_pDIB->CopyBits(pDest, rc.left, rc.top, rc.Width(), rc.Height(), static_cast<int>(sx), static_cast<int>(sy),
                   kPaletteIndex | m_nTransparent, m_wDrawFlags);
  return TRUE;
}

BOOL CSprite::HitTest(const POINT& point) const { return HitTestBlock(point, 0, 0); }

BOOL CSprite::HitTestBlock(const POINT& point, int nLeft, int nTop) const {
  if (m_pDIB == nullptr) return FALSE;
  const std::int64_t dx = std::int64_t{point.x} - m_x;
  const std::int64_t dy = std::int64_t{point.y} - m_y;
  // Both bounds strict: the left column and the top row never hit.
  if (!(0 < dx && dx < GetWidth()) || !(0 < dy && dy < GetHeight())) return FALSE;
  const BYTE* p = m_pDIB->GetPixelAddress(static_cast<int>(nLeft + dx), static_cast<int>(nTop + dy));
  return p != nullptr && *p != m_nTransparent;
}

void CSprite::SetPosition(const POINT& point) { SetPosition(point.x, point.y); }

void CSprite::SetPosition(int x, int y) {
  if (x == m_x && y == m_y) return;
  CRect rcBefore;
  GetRect(&rcBefore);
  m_x = x;
  m_y = y;
  CRect rcAfter;
  GetRect(&rcAfter);
  Notify(SPRITE_HINT_MOVED, &rcBefore, &rcAfter);
}

void CSprite::SetDrawFlags(WORD wFlags) {
  if (wFlags == m_wDrawFlags) return;
  m_wDrawFlags = wFlags;
  NotifyChanged();
}

void CSprite::Notify(DWORD dwHint, LPCRECT lpRect1, LPCRECT lpRect2) {
  if (m_pNotify != nullptr) m_pNotify->Change(this, dwHint, lpRect1, lpRect2);
}

void CSprite::NotifyChanged() {
  if (m_pNotify == nullptr) return;
  CRect rc;
  GetRect(&rc);
  Notify(SPRITE_HINT_CHANGED, &rc, nullptr);
}

void CSprite::Initialize() {
  const BYTE* p = m_pDIB ? m_pDIB->GetPixelAddress(0, 0) : nullptr;
  m_nTransparent = p ? *p : 0;
}

void CSprite::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<LONG>(m_x) << static_cast<LONG>(m_y) << static_cast<LONG>(m_z);
    return;
  }
  // Read in full before any field changes, so that a short archive leaves the sprite as it was.
  LONG x = 0;
  LONG y = 0;
  LONG z = 0;
  ar >> x >> y >> z;
  m_x = x;
  m_y = y;
  m_z = z;
  Initialize();
}
