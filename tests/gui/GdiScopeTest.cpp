// The framework's holders of paired platform calls: a GDI object owned or only viewed, and the
// scopes that put back what they selected and end what they began, also when a handler throws.
#include "CGdiSelection.h"
#include "CPaintDC.h"
#include "CPalette.h"
#include "CPaletteSelection.h"

#include <gtest/gtest.h>

namespace {

HPALETTE NewPalette() {
  LOGPALETTE palette{0x300, 1, {{10, 20, 30, 0}}};
  return CreatePalette(&palette);
}

TEST(GdiObject, AViewLeavesTheHandleAliveAndAnOwnerDeletesWhatItHeldBeforeAttaching) {
  CPalette owner;
  ASSERT_TRUE(owner.Attach(NewPalette()));
  const HGDIOBJ hBorrowed = owner.m_hObject;
  {
    CPalette view;
    ASSERT_TRUE(view.Attach(hBorrowed, FALSE));
    CPalette other;
    ASSERT_TRUE(other.Attach(NewPalette()));
    // A view taken over an owned palette deletes that one, not the viewed one after it.
    const HGDIOBJ hOwned = other.m_hObject;
    ASSERT_TRUE(other.Attach(hBorrowed, FALSE));
    EXPECT_EQ(GetObjectType(hOwned), 0u) << "the palette held before is lost";
  }
  EXPECT_EQ(GetObjectType(hBorrowed), static_cast<DWORD>(OBJ_PAL)) << "a view deleted what it borrowed";
}

// A window whose paint handler selects a brush and a palette, then throws.
class CThrowingPaintWnd : public CWnd {
 public:
  void Paint(HBRUSH hBrush, CPalette* pPalette) {
    CPaintDC dc(this);
    const CGdiSelection brush(dc, hBrush);
    const CPaletteSelection palette(&dc, pPalette);
    throw 1;
  }
};

TEST(GdiScopes, AThrowingPaintEndsThePaint) {
  CThrowingPaintWnd wnd;
  wnd.m_hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(wnd.m_hWnd, nullptr);
  InvalidateRect(wnd.m_hWnd, nullptr, FALSE);
  CPalette palette;
  ASSERT_TRUE(palette.Attach(NewPalette()));
  const HBRUSH hBrush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_THROW(wnd.Paint(hBrush, &palette), int);
  EXPECT_FALSE(GetUpdateRect(wnd.m_hWnd, nullptr, FALSE)) << "the paint was not ended";
  // Selected nowhere any more, the brush can go.
  EXPECT_TRUE(DeleteObject(hBrush));
  DestroyWindow(wnd.m_hWnd);
  wnd.m_hWnd = nullptr;
}

}  // namespace
