#include "CSpriteButton.h"

#include "AfxMessageBox.h"
#include "CPaletteSelection.h"
#include "SpriteButtonRow.h"

#include <new>

const CSpriteButton::MessageTable CSpriteButton::messages = {
    &CButton::messages,
    {
        OnMessage<WM_SETCURSOR>(&CSpriteButton::OnSetCursor),
    }};

namespace {

constexpr UINT kMoveFlags = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE;
static_assert(kMoveFlags == 0x001C);

}  // namespace

CSpriteButton::~CSpriteButton() { delete m_pSprite; }

BOOL CSpriteButton::Load(const CString& strName, int nRows) {
  delete m_pSprite;
  m_pSprite = new (std::nothrow) CPhasedSprite;
  if (m_pSprite == nullptr || !m_pSprite->Load(strName)) {
    delete m_pSprite;
    m_pSprite = nullptr;
    AfxMessageBox("Failed to load Button DIB file", MB_OK);
    return FALSE;
  }
  m_pSprite->SetNumCells(nRows, 1);
  return TRUE;
}

BOOL CSpriteButton::MoveTo(int x, int y) {
  if (m_pSprite == nullptr) return FALSE;
  return SetWindowPos(nullptr, x, y, m_pSprite->GetWidth(), m_pSprite->GetHeight(), kMoveFlags);
}

void CSpriteButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (m_pSprite == nullptr) return;
  m_pSprite->SetCell(0, 0);
  m_pSprite->SetCell(SpriteButtonRow(lpDrawItemStruct->itemState, m_pSprite->m_nRows), 0);

  CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
  // Selected, not realised: the owner realises its palette when the system asks it to.
  const CPaletteSelection palette(pDC, m_pPalette);
  const CRect rcItem(lpDrawItemStruct->rcItem);
  m_pSprite->DrawCell(pDC, rcItem.TopLeft());
}

BOOL CSpriteButton::OnSetCursor(CWnd*, UINT, UINT) { return TRUE; }
