// The setup dialog's skin on the real screen: its size, its face and buttons read back pixel by
// pixel, the label on the bitmap, the palette messages, and a missing or partial skin.
#include "CDIB.h"
#include "CMediaDir.h"
#include "CMessageBoxWatcher.h"
#include "CSetupDlg.h"
#include "CWinApp.h"
#include "CWindowShot.h"
#include "GuiHelpers.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

constexpr int kRows = 3;
const POINT kOKAt{349, 238};
const POINT kCancelAt{17, 238};
enum Row { kNormal, kPressed, kFocused };

struct Picture {
  explicit Picture(const char* pszName) { EXPECT_EQ(dib.Load(pszName), 1) << pszName; }
  COLORREF At(int x, int y) const {
    const RGBQUAD& c = dib.GetColorTable()[*dib.GetPixelAddress(x, y)];
    return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
  }
  int CellHeight() const { return dib.GetHeight() / kRows; }
  CDIB dib;
};

// How many pixels of the button's cell on the screen differ from the picture's row.
int Mismatches(const CWindowShot& shot, const Picture& button, POINT at, int nRow) {
  int n = 0;
  for (int y = 0; y < button.CellHeight(); ++y)
    for (int x = 0; x < button.dib.GetWidth(); ++x)
      n += shot.At(at.x + x, at.y + y) != button.At(x, nRow * button.CellHeight() + y);
  return n;
}

// The row of its picture that the button shows, -1 for none.
int ShownRow(HWND hDlg, const Picture& button, POINT at) {
  const CWindowShot shot(hDlg);
  for (int nRow = 0; nRow < kRows; ++nRow)
    if (Mismatches(shot, button, at, nRow) == 0) return nRow;
  return -1;
}

SIZE WindowSize(HWND hWnd) {
  RECT rc;
  GetWindowRect(hWnd, &rc);
  return {rc.right - rc.left, rc.bottom - rc.top};
}

TEST(SetupSkin, TheWindowIsTheBackgroundsSizeWhateverItIsGiven) {
  const CMediaDir media;
  const Picture background("K2Login|LoginBk.bmp");
  CSetupDlg dlg;
  OpenSetup(dlg);
  for (const SIZE asked : {SIZE{0, 0}, SIZE{600, 400}, SIZE{100, 50}}) {
    if (asked.cx != 0) dlg.SetWindowPos(nullptr, 0, 0, asked.cx, asked.cy, SWP_NOMOVE | SWP_NOZORDER);
    const SIZE size = WindowSize(dlg.m_hWnd);
    EXPECT_EQ(size.cx, background.dib.GetWidth()) << "asked " << asked.cx;
    EXPECT_EQ(size.cy, background.dib.GetHeight()) << "asked " << asked.cy;
    RECT rc;
    GetClientRect(dlg.m_hWnd, &rc);
    EXPECT_EQ(rc.right, size.cx);
    EXPECT_EQ(rc.bottom, size.cy);
  }
}

// How many pixels of the face around the shown controls differ from the background picture.
int FaceMismatches(HWND hDlg, const Picture& background) {
  std::vector<RECT> controls;
  for (HWND hItem = GetWindow(hDlg, GW_CHILD); hItem != nullptr; hItem = GetWindow(hItem, GW_HWNDNEXT)) {
    if (!IsWindowVisible(hItem)) continue;
    RECT rc;
    GetWindowRect(hItem, &rc);
    MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    controls.push_back(rc);
  }
  const auto onAControl = [&](POINT p) {
    return std::any_of(controls.begin(), controls.end(), [&](const RECT& rc) { return PtInRect(&rc, p) != FALSE; });
  };
  const CWindowShot shot(hDlg);
  EXPECT_EQ(shot.Width(), background.dib.GetWidth());
  int n = 0;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x) n += !onAControl({x, y}) && shot.At(x, y) != background.At(x, y);
  return n;
}

TEST(SetupSkin, TheFaceIsTheBackgroundBitmapPlainOrCompressed) {
  for (const CMediaDir::Skin skin : {CMediaDir::Skin::kPlain, CMediaDir::Skin::kCompressed}) {
    SCOPED_TRACE(skin == CMediaDir::Skin::kPlain ? "plain archive" : "compressed archive");
    const CMediaDir media(skin);
    const Picture background("K2Login|LoginBk.bmp");
    CSetupDlg dlg;
    OpenSetup(dlg);
    EXPECT_EQ(FaceMismatches(dlg.m_hWnd, background), 0);
  }
}

TEST(SetupSkin, EachButtonShowsTheRowOfItsState) {
  const CMediaDir media;
  const Picture ok("K2Login|BtnOK.bmp");
  const Picture cancel("K2Login|BtnNo.bmp");
  CSetupDlg dlg;
  OpenSetup(dlg);
  const HWND hOK = GetDlgItem(dlg.m_hWnd, IDOK);
  const HWND hCancel = GetDlgItem(dlg.m_hWnd, IDCANCEL);
  RECT rc = ItemRect(dlg.m_hWnd, IDOK);
  EXPECT_EQ(rc.left, kOKAt.x);
  EXPECT_EQ(rc.top, kOKAt.y);
  EXPECT_EQ(rc.right - rc.left, ok.dib.GetWidth());
  EXPECT_EQ(rc.bottom - rc.top, ok.CellHeight());
  rc = ItemRect(dlg.m_hWnd, IDCANCEL);
  EXPECT_EQ(rc.left, kCancelAt.x);
  EXPECT_EQ(rc.top, kCancelAt.y);

  // OK holds the focus from the start.
  EXPECT_EQ(GetFocus(), hOK);
  EXPECT_EQ(ShownRow(dlg.m_hWnd, ok, kOKAt), kFocused);
  EXPECT_EQ(ShownRow(dlg.m_hWnd, cancel, kCancelAt), kNormal);

  SendMessageA(hCancel, BM_SETSTATE, TRUE, 0);
  UpdateWindow(hCancel);
  EXPECT_EQ(ShownRow(dlg.m_hWnd, cancel, kCancelAt), kPressed);
  SendMessageA(hCancel, BM_SETSTATE, FALSE, 0);
  SetFocus(hCancel);
  UpdateWindow(hCancel);
  UpdateWindow(hOK);
  EXPECT_EQ(ShownRow(dlg.m_hWnd, cancel, kCancelAt), kFocused);
  EXPECT_EQ(ShownRow(dlg.m_hWnd, ok, kOKAt), kNormal);
  // Pressed and focused: pressed.
  SendMessageA(hCancel, BM_SETSTATE, TRUE, 0);
  UpdateWindow(hCancel);
  EXPECT_EQ(ShownRow(dlg.m_hWnd, cancel, kCancelAt), kPressed);
}

// The label's columns right of its text: with a box behind the text they would show its brush.
void ExpectBareLabelEnd(const CWindowShot& shot, const Picture& background) {
  const RECT rc{300, 190, 390, 210};
  int nOff = 0;
  for (int y = rc.top; y < rc.bottom; ++y)
    for (int x = rc.left; x < rc.right; ++x) nOff += shot.At(x, y) != background.At(x, y);
  EXPECT_EQ(nOff, 0);
}

TEST(SetupSkin, TheLabelLiesOnTheBitmapAndItsNewTextOnACleanOne) {
  const CMediaDir media;
  const Picture background("K2Login|LoginBk.bmp");
  CSetupDlg dlg;
  OpenSetup(dlg);
  const CWindowShot before(dlg.m_hWnd);
  ExpectBareLabelEnd(before, background);

  Click(dlg.m_hWnd, IDOK);
  const CWindowShot after(dlg.m_hWnd);
  ExpectBareLabelEnd(after, background);
  // Drawn afresh on an erased face, the label must look as it did right after OK.
  RedrawWindow(dlg.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const CWindowShot clean(dlg.m_hWnd);
  int nChanged = 0;
  int nOverlap = 0;
  for (int y = 190; y < 210; ++y)
    for (int x = 65; x < 390; ++x) {
      nChanged += after.At(x, y) != before.At(x, y);
      nOverlap += after.At(x, y) != clean.At(x, y);
    }
  EXPECT_GT(nChanged, 0) << "the label shows its new text";
  EXPECT_EQ(nOverlap, 0) << "no trace of the old text";
}

TEST(SetupSkin, WithoutTheArchiveTheTemplateDialogShowsSilentlyAndWorks) {
  const CMediaDir media(CMediaDir::Skin::kNone);
  const CProfileValue profile("C:\\WINDOWS\\CHAT.INI");
  std::vector<SeenBox> boxes;
  {
    CMessageBoxWatcher watcher;
    CSetupDlg dlg;
    OpenSetup(dlg);
    wchar_t szLabel[128] = {};
    GetDlgItemTextW(dlg.m_hWnd, IDC_LABEL, szLabel, 128);
    EXPECT_STREQ(szLabel, L"Korvi2.0을 다음 디렉토리에 설치합니다.");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_FOLDER), "") << "no folder proposed";
    EXPECT_TRUE(ItemVisible(dlg.m_hWnd, IDC_PROGRESS));
    // The template's size, 214 x 174 dialog units, not a bitmap's.
    RECT rcTemplate{0, 0, 214, 174};
    MapDialogRect(dlg.m_hWnd, &rcTemplate);
    const SIZE size = WindowSize(dlg.m_hWnd);
    EXPECT_EQ(size.cx, rcTemplate.right);
    EXPECT_EQ(size.cy, rcTemplate.bottom);

    // Typing and OK still reach the install.
    SetDlgItemTextA(dlg.m_hWnd, IDC_FOLDER, "C:\\typed\\KV2\\");
    Click(dlg.m_hWnd, IDOK);
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_LABEL), "Installing Korvi 2 ...");
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, dlg.m_hWnd, WM_INSTALL, WM_INSTALL, PM_REMOVE));
    boxes = watcher.Seen();
  }
  EXPECT_TRUE(boxes.empty()) << boxes.front().text;

  // And Escape cancels it.
  CSetupDlg dlg;
  AfxGetApp()->m_pMainWnd = &dlg;
  std::thread driver([] {
    if (const HWND hDlg = WaitForDialog()) PostMessageA(GetDlgItem(hDlg, IDC_FOLDER), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  driver.join();
}

TEST(SetupSkin, AMissingCancelPictureIsReportedOnceAndCancelStillWorks) {
  const CMediaDir media(CMediaDir::Skin::kWithoutCancelButton);
  const Picture ok("K2Login|BtnOK.bmp");
  std::vector<SeenBox> boxes;
  INT_PTR nResult = 0;
  bool bOKDrawn = false;
  {
    CMessageBoxWatcher watcher;
    CSetupDlg dlg;
    AfxGetApp()->m_pMainWnd = &dlg;
    std::thread driver([&] {
      const HWND hDlg = WaitForDialog();
      if (hDlg == nullptr) return;
      // Drawing belongs to the dialog's thread: it shows its OK cell before it takes the click.
      Sleep(200);
      bOKDrawn = true;
      PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDCANCEL)));
    });
    nResult = dlg.DoModal();
    driver.join();
    boxes = watcher.Seen();
  }
  EXPECT_TRUE(bOKDrawn);
  EXPECT_EQ(nResult, IDCANCEL);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to load Button DIB file");
  EXPECT_TRUE(boxes[0].bOK);
  EXPECT_FALSE(boxes[0].bCancel);
}

// Notes the dialog's palette-changed and erase messages.
class CPaletteSpy {
 public:
  explicit CPaletteSpy(HWND hDlg) : m_hHook(SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId())) {
    s_hDlg = hDlg;
    s_nOwnChanges = s_nOtherChanges = s_nErases = 0;
  }
  ~CPaletteSpy() { UnhookWindowsHookEx(m_hHook); }
  CPaletteSpy(const CPaletteSpy&) = delete;
  CPaletteSpy& operator=(const CPaletteSpy&) = delete;

  static inline HWND s_hDlg = nullptr;
  static inline int s_nOwnChanges = 0;  // changes the dialog itself caused
  static inline int s_nOtherChanges = 0;
  static inline int s_nErases = 0;

 private:
  static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam) noexcept {
    const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && pMsg->hwnd == s_hDlg) {
      if (pMsg->message == WM_PALETTECHANGED) ++(reinterpret_cast<HWND>(pMsg->wParam) == s_hDlg ? s_nOwnChanges : s_nOtherChanges);
      if (pMsg->message == WM_ERASEBKGND) ++s_nErases;
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
  }
  HHOOK m_hHook;
};

// A window of another application that realises a palette of its own, all reds.
class CPaletteRival {
 public:
  CPaletteRival()
      : m_hWnd(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 500, 500, 40, 40, nullptr, nullptr, nullptr,
                               nullptr)) {
    struct {
      WORD version, count;
      PALETTEENTRY entries[236];
    } pal{0x300, 236, {}};
    for (int i = 0; i < 236; ++i) pal.entries[i] = {static_cast<BYTE>(20 + i), 0, static_cast<BYTE>(i / 4), 0};
    m_hPalette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&pal));
  }
  ~CPaletteRival() {
    DestroyWindow(m_hWnd);
    DeleteObject(m_hPalette);
  }
  CPaletteRival(const CPaletteRival&) = delete;
  CPaletteRival& operator=(const CPaletteRival&) = delete;

  // Realises its palette in the foreground and tells the top-level windows, as the system does
  // where palettes are real; returns how many entries the realisation changed.
  UINT Realise() const {
    const HDC hDC = GetDC(m_hWnd);
    const HPALETTE hOld = SelectPalette(hDC, m_hPalette, FALSE);
    const UINT nChanged = RealizePalette(hDC);
    SelectPalette(hDC, hOld, FALSE);
    ReleaseDC(m_hWnd, hDC);
    return nChanged;
  }
  HWND m_hWnd;

 private:
  HPALETTE m_hPalette;
};

bool HasUpdate(HWND hWnd) { return GetUpdateRect(hWnd, nullptr, FALSE) != FALSE; }

TEST(SetupSkin, AnotherWindowsPaletteMakesTheDialogRealiseAndRepaint) {
  const CMediaDir media;
  const Picture background("K2Login|LoginBk.bmp");
  CSetupDlg dlg;
  OpenSetup(dlg);
  const CPaletteRival rival;
  const CPaletteSpy spy(dlg.m_hWnd);
  const UINT nRivalChanged = rival.Realise();
  RecordProperty("changes_the_system_sent", CPaletteSpy::s_nOtherChanges);
  // Where the system sends it on its own, it has arrived by now; the second one changes nothing.
  SendMessageA(dlg.m_hWnd, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(rival.m_hWnd), 0);
  RECT rcUpdate{};
  GetUpdateRect(dlg.m_hWnd, &rcUpdate, FALSE);
  RECT rcClient;
  GetClientRect(dlg.m_hWnd, &rcClient);
  EXPECT_TRUE(EqualRect(&rcUpdate, &rcClient)) << "the whole face is to be redrawn";
  dlg.UpdateWindow();
  EXPECT_GE(CPaletteSpy::s_nErases, 1);
  EXPECT_FALSE(HasUpdate(dlg.m_hWnd));
  // Its own realisation may tell the dialog so once; that starts nothing more.
  PumpUntil(dlg.m_hWnd, WM_NULL);
  EXPECT_LE(CPaletteSpy::s_nOwnChanges, 1);
  EXPECT_FALSE(HasUpdate(dlg.m_hWnd));

  RecordProperty("rival_entries_changed", static_cast<int>(nRivalChanged));
  RecordProperty("own_changes_seen", CPaletteSpy::s_nOwnChanges);

  // In front again, it takes the display's colours back and shows the picture's own, where a
  // palette display showed it meanwhile in the nearest of the rival's.
  SetForegroundWindow(dlg.m_hWnd);
  for (int i = 0; i < 200 && GetForegroundWindow() != dlg.m_hWnd; ++i) {
    PumpUntil(dlg.m_hWnd, WM_NULL);
    Sleep(10);
  }
  dlg.UpdateWindow();
  EXPECT_EQ(FaceMismatches(dlg.m_hWnd, background), 0);
}

TEST(SetupSkin, ItsOwnPaletteChangeStartsNoRealisation) {
  const CMediaDir media;
  CSetupDlg dlg;
  OpenSetup(dlg);
  const CPaletteSpy spy(dlg.m_hWnd);
  SendMessageA(dlg.m_hWnd, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(dlg.m_hWnd), 0);
  EXPECT_FALSE(HasUpdate(dlg.m_hWnd));
  // Asked for its palette, it realises and repaints, and the change it makes ends there.
  EXPECT_EQ(SendMessageA(dlg.m_hWnd, WM_QUERYNEWPALETTE, 0, 0), TRUE);
  EXPECT_TRUE(HasUpdate(dlg.m_hWnd));
  dlg.UpdateWindow();
  PumpUntil(dlg.m_hWnd, WM_NULL);
  EXPECT_LE(CPaletteSpy::s_nOwnChanges, 1);
  EXPECT_FALSE(HasUpdate(dlg.m_hWnd));
}

}  // namespace
