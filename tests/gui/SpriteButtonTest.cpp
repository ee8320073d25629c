// CSpriteButton on the real platform, in a dialog: the cell it draws for each state read back
// from the window, its size and place, the palette it is lent, its failures, the pointer.
#include "CDIBPalette.h"
#include "CDialog.h"
#include "CMessageBoxWatcher.h"
#include "CSpriteButton.h"
#include "GuiHelpers.h"
#include "TempDir.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 60;
constexpr int kRowHeight = 25;

// Colours every display shows as they are, palette or not: static colours of the system palette.
const COLORREF kColors[] = {RGB(255, 0, 0),   RGB(255, 255, 255), RGB(0, 255, 0),   RGB(0, 0, 0),
                            RGB(0, 0, 255),   RGB(255, 255, 0),   RGB(255, 0, 255), RGB(0, 255, 255)};
// What the window shows where the button drew nothing.
const COLORREF kBackground = RGB(128, 128, 128);

// Face pixel (x, y): each row its own two colours, one for each half.
int FaceColor(int x, int y) { return (2 * (y / kRowHeight) + (x < kWidth / 2 ? 0 : 1)) % 8; }

template <typename T>
void Append(std::string& bytes, const T& value) {
  bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// An uncompressed "BM" file: 8 bits with colour entry 1 + i = kColors[i], or 24 bits.
std::string FaceFile(int nHeight, WORD wBitCount = 8) {
  const int nColors = wBitCount == 8 ? 256 : 0;
  const int stride = (kWidth * wBitCount / 8 + 3) & ~3;
  const DWORD offBits = 14 + 40 + nColors * 4;
  std::string bytes;
  Append<WORD>(bytes, 0x4D42);
  Append<DWORD>(bytes, offBits + stride * nHeight);
  Append<DWORD>(bytes, 0);
  Append<DWORD>(bytes, offBits);
  BITMAPINFOHEADER info{};
  info.biSize = 40;
  info.biWidth = kWidth;
  info.biHeight = nHeight;
  info.biPlanes = 1;
  info.biBitCount = wBitCount;
  Append(bytes, info);
  for (int i = 0; i < nColors; ++i) {
    const COLORREF c = i >= 1 && i <= 8 ? kColors[i - 1] : kBackground;
    Append(bytes, RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0});
  }
  for (int y = nHeight - 1; y >= 0; --y) {
    std::string row(stride, '\0');
    for (int x = 0; x < kWidth; ++x) {
      if (wBitCount == 8) {
        row[x] = static_cast<char>(1 + FaceColor(x, y));
      } else {
        const COLORREF c = kColors[FaceColor(x, y)];
        row[3 * x] = static_cast<char>(GetBValue(c));
        row[3 * x + 1] = static_cast<char>(GetGValue(c));
        row[3 * x + 2] = static_cast<char>(GetRValue(c));
      }
    }
    bytes += row;
  }
  return bytes;
}

// The window's client area as the screen shows it, row by row from the top.
std::vector<COLORREF> Pixels(HWND hWnd, int nWidth, int nHeight) {
  std::vector<COLORREF> pixels;
  const HDC hWindowDC = GetDC(hWnd);
  const HDC hMemDC = CreateCompatibleDC(hWindowDC);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), nWidth, -nHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* pBits = nullptr;
  const HBITMAP hBitmap = CreateDIBSection(hMemDC, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
  if (hBitmap != nullptr) {
    const HGDIOBJ hOld = SelectObject(hMemDC, hBitmap);
    BitBlt(hMemDC, 0, 0, nWidth, nHeight, hWindowDC, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const DWORD*>(pBits);
    for (int i = 0; i < nWidth * nHeight; ++i) pixels.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
    SelectObject(hMemDC, hOld);
    DeleteObject(hBitmap);
  }
  DeleteDC(hMemDC);
  ReleaseDC(hWnd, hWindowDC);
  return pixels;
}

// Every pixel of the button: the face's row nRow, or the background for a negative row.
::testing::AssertionResult Shows(HWND hButton, int nRow) {
  RECT rc;
  GetClientRect(hButton, &rc);
  if (rc.right != kWidth || rc.bottom != kRowHeight)
    return ::testing::AssertionFailure() << "the button is " << rc.right << " x " << rc.bottom;
  const std::vector<COLORREF> pixels = Pixels(hButton, kWidth, kRowHeight);
  if (pixels.empty()) return ::testing::AssertionFailure() << "the window could not be read";
  int nWrong = 0;
  auto failure = ::testing::AssertionFailure();
  for (int y = 0; y < kRowHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const COLORREF want = nRow < 0 ? kBackground : kColors[FaceColor(x, nRow * kRowHeight + y)];
      const COLORREF got = pixels[y * kWidth + x];
      if (got != want && nWrong++ < 4) failure << "(" << x << "," << y << ") is " << std::hex << got << ", not " << want << std::dec << "; ";
    }
  if (nWrong == 0) return ::testing::AssertionSuccess();
  return failure << nWrong << " pixels wrong";
}

void Paint(HWND hWnd, COLORREF color) {
  const HDC hDC = GetDC(hWnd);
  RECT rc;
  GetClientRect(hWnd, &rc);
  const HBRUSH hBrush = CreateSolidBrush(color);
  FillRect(hDC, &rc, hBrush);
  DeleteObject(hBrush);
  ReleaseDC(hWnd, hDC);
}

// The owner-draw request a button control sends its parent, with the state given.
void DrawAs(HWND hDlg, HWND hButton, UINT nState) {
  const HDC hDC = GetDC(hButton);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = IDOK;
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = nState;
  dis.hwndItem = hButton;
  dis.hDC = hDC;
  GetClientRect(hButton, &dis.rcItem);
  SendMessageA(hDlg, WM_DRAWITEM, IDOK, reinterpret_cast<LPARAM>(&dis));
  ReleaseDC(hButton, hDC);
}

// Notes the messages of one number that this thread's windows are sent while it lives.
class CSentMessages {
 public:
  explicit CSentMessages(UINT nMessage)
      : m_nMessage(nMessage), m_hHook(SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId())) {
    s_pThis = this;
  }
  ~CSentMessages() {
    UnhookWindowsHookEx(m_hHook);
    s_pThis = nullptr;
  }
  CSentMessages(const CSentMessages&) = delete;
  CSentMessages& operator=(const CSentMessages&) = delete;

  struct Sent {
    HWND hWnd;
    WPARAM wParam;
    LPARAM lParam;
    WINDOWPOS pos;  // for WM_WINDOWPOSCHANGING
  };
  std::vector<Sent> m_sent;

 private:
  static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam) noexcept {
    const CWPSTRUCT* p = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && s_pThis != nullptr && p->message == s_pThis->m_nMessage) {
      Sent sent{p->hwnd, p->wParam, p->lParam, {}};
      if (p->message == WM_WINDOWPOSCHANGING) sent.pos = *reinterpret_cast<const WINDOWPOS*>(p->lParam);
      s_pThis->m_sent.push_back(sent);
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
  }

  static inline CSentMessages* s_pThis = nullptr;
  UINT m_nMessage;
  HHOOK m_hHook;
};

// A metafile record, as its bytes.
struct Record {
  DWORD iType;
  std::vector<BYTE> bytes;
};

int CALLBACK KeepPaletteAndDrawRecords(HDC, HANDLETABLE*, const ENHMETARECORD* p, int, LPARAM lParam) {
  if (p->iType == EMR_SELECTPALETTE || p->iType == EMR_REALIZEPALETTE || p->iType == EMR_STRETCHDIBITS) {
    const BYTE* b = reinterpret_cast<const BYTE*>(p);
    reinterpret_cast<std::vector<Record>*>(lParam)->push_back(Record{p->iType, std::vector<BYTE>(b, b + p->nSize)});
  }
  return 1;
}

// Puts a function of ours in the process's import of a platform function while it lives, so a
// test sees the arguments each call passes on to the platform.
class CImportSpy {
 public:
  CImportSpy(const char* pszDll, const char* pszName, void* pfnSpy) {
    auto* pBase = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(pBase + reinterpret_cast<IMAGE_DOS_HEADER*>(pBase)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* pImport = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(pBase + imports.VirtualAddress); pImport->Name != 0;
         ++pImport) {
      if (lstrcmpiA(reinterpret_cast<const char*>(pBase + pImport->Name), pszDll) != 0) continue;
      auto* pName = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pImport->OriginalFirstThunk);
      auto* pSlot = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pImport->FirstThunk);
      for (; pName->u1.AddressOfData != 0; ++pName, ++pSlot)
        if (!IMAGE_SNAP_BY_ORDINAL(pName->u1.Ordinal) &&
            std::strcmp(reinterpret_cast<const char*>(
                            reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(pBase + pName->u1.AddressOfData)->Name),
                        pszName) == 0)
          m_pSlot = reinterpret_cast<void**>(&pSlot->u1.Function);
    }
    if (m_pSlot != nullptr) m_pfnReal = Put(pfnSpy);
  }
  ~CImportSpy() {
    if (m_pSlot != nullptr) Put(m_pfnReal);
  }
  CImportSpy(const CImportSpy&) = delete;
  CImportSpy& operator=(const CImportSpy&) = delete;

  void* m_pfnReal = nullptr;  // null when the process does not import the function

 private:
  void* Put(void* pfn) {
    DWORD dwOld = 0;
    VirtualProtect(m_pSlot, sizeof *m_pSlot, PAGE_READWRITE, &dwOld);
    void* pfnBefore = *m_pSlot;
    *m_pSlot = pfn;
    VirtualProtect(m_pSlot, sizeof *m_pSlot, dwOld, &dwOld);
    return pfnBefore;
  }
  void** m_pSlot = nullptr;
};

// What each SelectPalette call asked for: background (TRUE) or foreground.
std::vector<BOOL> g_abForceBackground;
void* g_pfnSelectPalette = nullptr;
HPALETTE WINAPI SpySelectPalette(HDC hDC, HPALETTE hPalette, BOOL bForceBackground) {
  g_abForceBackground.push_back(bForceBackground);
  return reinterpret_cast<decltype(&SpySelectPalette)>(g_pfnSelectPalette)(hDC, hPalette, bForceBackground);
}

class CFaceDlg : public CDialog {
 public:
  CFaceDlg() : CDialog(IDD_SETUP) {}
};

// Counts its draws, then draws as a sprite button does.
class CCountingButton : public CSpriteButton {
 public:
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override {
    ++m_nDraws;
    CSpriteButton::DrawItem(lpDrawItemStruct);
  }
  int m_nDraws = 0;
};

class SpriteButton : public ::testing::Test {
 protected:
  CString Face(int nRows) { return Write(FaceFile(nRows * kRowHeight)); }
  CString Write(const std::string& bytes) {
    const std::string name = "face" + std::to_string(m_nFiles++) + ".bmp";
    m_dir.Write(name, bytes);
    return m_dir.Path(name).c_str();
  }

  // The dialog with the OK button made a sprite button of nRows rows (none for 0), in the
  // palette made from its face, placed as the setup dialog places it.
  void Open(int nRows) {
    ASSERT_TRUE(m_dlg.Create());
    SetWindowPos(m_dlg.m_hWnd, nullptr, 0, 0, 420, 320, SWP_NOZORDER | SWP_NOACTIVATE);
    if (nRows > 0) {
      ASSERT_TRUE(m_button.Load(Face(nRows), nRows));
      ASSERT_EQ(m_palette.Create(m_button.m_pSprite->m_pDIB), 1);
      m_button.m_pPalette = &m_palette;
    }
    ASSERT_TRUE(m_button.SubclassDlgItem(IDOK, &m_dlg));
    m_hButton = m_button.m_hWnd;
    if (nRows > 0) {
      ASSERT_TRUE(m_button.MoveTo(17, 238));
    }
    m_dlg.ShowWindow(SW_SHOW);
    m_dlg.UpdateWindow();
    PumpUntil(m_dlg.m_hWnd, WM_NULL);
  }

  TempDir m_dir;
  int m_nFiles = 0;
  CDIBPalette m_palette;
  CFaceDlg m_dlg;
  CCountingButton m_button;
  HWND m_hButton = nullptr;
};

}  // namespace

TEST_F(SpriteButton, SizesItselfToOneCellWithoutRedrawing) {
  Open(0);
  ASSERT_TRUE(m_button.Load(Face(3), 3));
  const RECT rcBefore = ItemRect(m_dlg.m_hWnd, IDOK);
  const int nDraws = m_button.m_nDraws;
  CSentMessages positions(WM_WINDOWPOSCHANGING);
  EXPECT_TRUE(m_button.MoveTo(17, 238));
  const RECT rc = ItemRect(m_dlg.m_hWnd, IDOK);
  EXPECT_EQ(rc.left, 17);
  EXPECT_EQ(rc.top, 238);
  EXPECT_EQ(rc.right - rc.left, 60);
  EXPECT_EQ(rc.bottom - rc.top, 25);
  ASSERT_EQ(positions.m_sent.size(), 1u);
  const WINDOWPOS& pos = positions.m_sent[0].pos;
  EXPECT_EQ(positions.m_sent[0].hWnd, m_hButton);
  EXPECT_EQ(pos.hwndInsertAfter, nullptr);
  EXPECT_EQ(pos.flags & 0x001C, 0x001Cu) << std::hex << pos.flags;
  m_dlg.UpdateWindow();
  PumpUntil(m_dlg.m_hWnd, WM_NULL);
  EXPECT_EQ(m_button.m_nDraws, nDraws) << "the move redrew the button";
  EXPECT_NE(rcBefore.left, rc.left);
}

TEST_F(SpriteButton, DrawsTheRowOfEachState) {
  const struct {
    int nRows;
    UINT nState;
    int nRow;
  } cases[] = {
      {3, 0, 0},
      {3, ODS_SELECTED, 1},
      {3, ODS_FOCUS, 2},
      {3, ODS_DISABLED, 0},
      {3, ODS_SELECTED | ODS_FOCUS, 1},
      {3, ODS_FOCUS | ODS_DISABLED, 2},
      {3, ODS_SELECTED | ODS_DISABLED, 1},
      {4, ODS_DISABLED, 3},
      {4, ODS_DISABLED | ODS_FOCUS, 2},
      {4, ODS_SELECTED | ODS_FOCUS | ODS_DISABLED, 1},
      {1, ODS_SELECTED, 0},
      {1, ODS_FOCUS, 0},
      {1, ODS_DISABLED, 0},
      {2, ODS_SELECTED, 1},
      {2, ODS_FOCUS, 0},
  };
  Open(4);
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.nRows << " rows, state " << c.nState);
    ASSERT_TRUE(m_button.Load(Face(c.nRows), c.nRows));
    // Drawn at the item's corner, the rest of the window as it was: one cell fills the button.
    Paint(m_hButton, kBackground);
    DrawAs(m_dlg.m_hWnd, m_hButton, c.nState);
    EXPECT_TRUE(Shows(m_hButton, c.nRow));
  }
}

// The states the control itself reports as the user presses, tabs and disables.
TEST_F(SpriteButton, FollowsTheStatesOfTheControl) {
  Open(4);
  const HWND hEdit = GetDlgItem(m_dlg.m_hWnd, IDC_FOLDER);
  SetFocus(hEdit);
  ASSERT_EQ(GetFocus(), hEdit);
  m_button.InvalidateRect(nullptr, FALSE);
  m_button.UpdateWindow();
  EXPECT_TRUE(Shows(m_hButton, 0)) << "normal";

  SetFocus(m_hButton);
  ASSERT_EQ(GetFocus(), m_hButton);
  m_button.UpdateWindow();
  EXPECT_TRUE(Shows(m_hButton, 2)) << "focused";

  SendMessageA(m_hButton, BM_SETSTATE, TRUE, 0);
  m_button.UpdateWindow();
  EXPECT_TRUE(Shows(m_hButton, 1)) << "pressed and focused";
  SendMessageA(m_hButton, BM_SETSTATE, FALSE, 0);
  m_button.UpdateWindow();
  EXPECT_TRUE(Shows(m_hButton, 2)) << "released";

  SetFocus(hEdit);
  EnableWindow(m_hButton, FALSE);
  m_button.UpdateWindow();
  EXPECT_TRUE(Shows(m_hButton, 3)) << "disabled";
}

TEST_F(SpriteButton, SelectsTheLentPaletteWhileItDrawsAndTheOldOneBack) {
  CSpriteButton button;
  ASSERT_TRUE(button.Load(Face(3), 3));
  CDIBPalette palette;
  ASSERT_EQ(palette.Create(button.m_pSprite->m_pDIB), 1);

  // The palette and drawing records of a metafile that the button draws into at (5, 7).
  auto drawn = [&](CPalette* pPalette) {
    button.m_pPalette = pPalette;
    const HDC hDC = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.itemState = ODS_SELECTED;
    dis.hDC = hDC;
    dis.rcItem = RECT{5, 7, 200, 100};
    button.DrawItem(&dis);
    EXPECT_EQ(GetCurrentObject(hDC, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
    const HENHMETAFILE hEmf = CloseEnhMetaFile(hDC);
    std::vector<Record> records;
    EnumEnhMetaFile(nullptr, hEmf, &KeepPaletteAndDrawRecords, &records, nullptr);
    DeleteEnhMetaFile(hEmf);
    return records;
  };

  std::vector<Record> lent;
  {
    const CImportSpy spy("gdi32.dll", "SelectPalette", reinterpret_cast<void*>(&SpySelectPalette));
    ASSERT_NE(spy.m_pfnReal, nullptr);
    g_pfnSelectPalette = spy.m_pfnReal;
    g_abForceBackground.clear();
    lent = drawn(&palette);
  }
  EXPECT_EQ(g_abForceBackground, (std::vector<BOOL>{FALSE, FALSE})) << "a foreground palette, selected and put back";
  ASSERT_EQ(lent.size(), 3u);
  EXPECT_EQ(lent[0].iType, static_cast<DWORD>(EMR_SELECTPALETTE));
  EXPECT_EQ(lent[1].iType, static_cast<DWORD>(EMR_STRETCHDIBITS));
  EXPECT_EQ(lent[2].iType, static_cast<DWORD>(EMR_SELECTPALETTE));
  EMRSELECTPALETTE select, back;
  std::memcpy(&select, lent[0].bytes.data(), sizeof select);
  std::memcpy(&back, lent[2].bytes.data(), sizeof back);
  EXPECT_EQ(select.ihPal & 0x80000000u, 0u) << "the lent palette, not a stock one";
  EXPECT_EQ(back.ihPal, 0x80000000u | DEFAULT_PALETTE) << "the palette the context held before";

  // One cell, unscaled, at the item's corner, from the pressed row: source y counts from the bottom.
  EMRSTRETCHDIBITS draw;
  std::memcpy(&draw, lent[1].bytes.data(), sizeof draw);
  EXPECT_EQ(draw.xDest, 5);
  EXPECT_EQ(draw.yDest, 7);
  EXPECT_EQ(draw.cxDest, 60);
  EXPECT_EQ(draw.cyDest, 25);
  EXPECT_EQ(draw.xSrc, 0);
  EXPECT_EQ(draw.ySrc, 25);
  EXPECT_EQ(draw.cxSrc, 60);
  EXPECT_EQ(draw.cySrc, 25);
  EXPECT_EQ(draw.dwRop, static_cast<DWORD>(SRCCOPY));
  EXPECT_EQ(draw.iUsageSrc, static_cast<DWORD>(DIB_RGB_COLORS));

  // Without a palette the context's own is used: nothing is selected.
  const std::vector<Record> own = drawn(nullptr);
  ASSERT_EQ(own.size(), 1u);
  EXPECT_EQ(own[0].iType, static_cast<DWORD>(EMR_STRETCHDIBITS));
}

TEST_F(SpriteButton, AFaceThatCannotBeLoadedIsReportedAndTakesTheOldOneWithIt) {
  Open(3);
  const RECT rcPlaced = ItemRect(m_dlg.m_hWnd, IDOK);
  const struct {
    const char* what;
    CString strName;
    std::vector<std::string> texts;
  } cases[] = {
      {"a missing file", m_dir.Path("missing.bmp").c_str(), {"Failed to load Button DIB file"}},
      {"a 24-bit picture", Write(FaceFile(75, 24)), {"Only 8 bpp DIBs are supported", "Failed to load Button DIB file"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(m_button.Load(Face(3), 3));
    std::vector<SeenBox> boxes;
    {
      CMessageBoxWatcher watcher;
      EXPECT_FALSE(m_button.Load(c.strName, 3));
      boxes = watcher.Seen();
    }
    EXPECT_EQ(m_button.m_pSprite, nullptr);
    ASSERT_EQ(boxes.size(), c.texts.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
      EXPECT_EQ(boxes[i].text, c.texts[i]);
      EXPECT_EQ(boxes[i].caption, ExecutableBaseName());
      EXPECT_TRUE(boxes[i].bOK);
      EXPECT_FALSE(boxes[i].bCancel);
      EXPECT_FALSE(boxes[i].bIcon);
    }
  }
  // No face: not moved, and nothing drawn.
  EXPECT_FALSE(m_button.MoveTo(40, 40));
  const RECT rc = ItemRect(m_dlg.m_hWnd, IDOK);
  EXPECT_EQ(rc.left, rcPlaced.left);
  EXPECT_EQ(rc.top, rcPlaced.top);
  Paint(m_hButton, kBackground);
  DrawAs(m_dlg.m_hWnd, m_hButton, ODS_SELECTED);
  EXPECT_TRUE(Shows(m_hButton, -1));
}

TEST_F(SpriteButton, APictureLowerThanItsRowsKeepsOneCell) {
  CSpriteButton button;
  ASSERT_TRUE(button.Load(Write(FaceFile(2)), 3));
  EXPECT_EQ(button.m_pSprite->m_nRows, 1);
  EXPECT_EQ(button.m_pSprite->GetHeight(), 2);
}

TEST_F(SpriteButton, LeavesThePointerAloneAndAsksNobodyElse) {
  Open(3);
  const HCURSOR hCross = LoadCursorA(nullptr, IDC_CROSS);
  const HCURSOR hArrow = LoadCursorA(nullptr, IDC_ARROW);
  ASSERT_NE(hCross, hArrow);
  for (const UINT nHitTest : {HTCLIENT, HTBORDER, HTNOWHERE}) {
    SCOPED_TRACE(nHitTest);
    CSentMessages toParent(WM_SETCURSOR);
    SetCursor(hCross);
    EXPECT_EQ(SendMessageA(m_hButton, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hButton), MAKELPARAM(nHitTest, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), hCross);
    for (const auto& sent : toParent.m_sent) EXPECT_NE(sent.hWnd, m_dlg.m_hWnd) << "the parent was asked";
  }

  // A plain button lets its parent, then a window class, set the pointer: the check above sees
  // a change when there is one.
  const HWND hCancel = GetDlgItem(m_dlg.m_hWnd, IDCANCEL);
  SetCursor(hCross);
  CSentMessages toParent(WM_SETCURSOR);
  SendMessageA(hCancel, WM_SETCURSOR, reinterpret_cast<WPARAM>(hCancel), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), hArrow);
  bool bParentAsked = false;
  for (const auto& sent : toParent.m_sent) bParentAsked |= sent.hWnd == m_dlg.m_hWnd;
  EXPECT_TRUE(bParentAsked);
}
