// The window half of the framework on the real platform: message routing, reflection,
// data exchange, the modal loop and the report of a failure that leaves a handler.
#include "CButton.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CFileException.h"
#include "CMessageBoxWatcher.h"
#include "CWinApp.h"
#include "GuiHelpers.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

constexpr UINT WM_PROBE = WM_USER + 1;
constexpr UINT WM_THROW = WM_USER + 2;

// A dialog on the setup template whose handlers note what they were given.
class CProbeDlg : public CDialog {
 public:
  explicit CProbeDlg(CWnd* pParent = nullptr) : CDialog(IDD_SETUP, pParent) {}

  const MessageTable& GetMessageTable() const override { return messages; }
  static const MessageTable messages;

  std::function<void()> m_onInit;
  CString m_strText;
  int m_nChanges = 0;
  UINT m_nSizeType = 0;
  int m_cx = 0;
  int m_cy = 0;
  UINT m_nCtlColor = 0xFFFF;
  HWND m_hCtlColorWnd = nullptr;
  HDC m_hEraseDC = nullptr;
  HWND m_hPaletteWnd = nullptr;
  HWND m_hCursorWnd = nullptr;
  UINT m_nHitTest = 0;
  UINT m_nMouseMessage = 0;

 protected:
  BOOL OnInitDialog() override {
    if (m_onInit) m_onInit();
    return CDialog::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_FOLDER, m_strText); }

  void OnChangeFolder() { ++m_nChanges; }
  void OnSize(UINT nType, int cx, int cy) {
    m_nSizeType = nType;
    m_cx = cx;
    m_cy = cy;
  }
  HBRUSH OnCtlColor(CDC*, CWnd* pWnd, UINT nCtlColor) {
    m_nCtlColor = nCtlColor;
    m_hCtlColorWnd = pWnd->m_hWnd;
    return static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  }
  BOOL OnEraseBkgnd(CDC* pDC) {
    m_hEraseDC = pDC->m_hDC;
    return TRUE;
  }
  void OnPaletteChanged(CWnd* pFocusWnd) { m_hPaletteWnd = pFocusWnd->m_hWnd; }
  BOOL OnQueryNewPalette() { return 77; }
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    m_hCursorWnd = pWnd->m_hWnd;
    m_nHitTest = nHitTest;
    m_nMouseMessage = message;
    return TRUE;
  }
  LRESULT OnProbe(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam) + lParam; }
  LRESULT OnThrow(WPARAM, LPARAM) {
    throw CFileException(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "C:\\nowhere\\list.inf");
  }
};

const CProbeDlg::MessageTable CProbeDlg::messages = {
    &CDialog::messages,
    {
        OnNotify<EN_CHANGE>(IDC_FOLDER, &CProbeDlg::OnChangeFolder),
        OnMessage<WM_SIZE>(&CProbeDlg::OnSize),
        OnMessage<WM_CTLCOLOR>(&CProbeDlg::OnCtlColor),
        OnMessage<WM_ERASEBKGND>(&CProbeDlg::OnEraseBkgnd),
        OnMessage<WM_PALETTECHANGED>(&CProbeDlg::OnPaletteChanged),
        OnMessage<WM_QUERYNEWPALETTE>(&CProbeDlg::OnQueryNewPalette),
        OnMessage<WM_SETCURSOR>(&CProbeDlg::OnSetCursor),
        OnMessage<WM_PROBE>(&CProbeDlg::OnProbe),
        OnMessage<WM_THROW>(&CProbeDlg::OnThrow),
    }};

class CProbeButton : public CButton {
 public:
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override { m_ids.push_back(lpDrawItemStruct->CtlID); }
  std::vector<UINT> m_ids;
};

// Meets, while it waits for a dialog to be created, a top-level window of the system's first:
// the input-method window that some systems create for a thread's first top-level window.
class CAwaitingWnd : public CWnd {
 public:
  HWND CreateDialogAfterForeignWindow(HWND* phForeign) {
    const CCreationHook hook(this, "#32770", nullptr);
    *phForeign = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETUP), nullptr, &NoDlgProc, 0);
  }

 private:
  static INT_PTR CALLBACK NoDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
};

// Creates a top-level window on the thread from within each dialog's creation.
class CForeignWindowOnCreation {
 public:
  CForeignWindowOnCreation() : m_hHook(SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId())) {}
  ~CForeignWindowOnCreation() {
    UnhookWindowsHookEx(m_hHook);
    if (s_hForeign != nullptr) DestroyWindow(s_hForeign);
    s_hForeign = nullptr;
  }
  CForeignWindowOnCreation(const CForeignWindowOnCreation&) = delete;
  CForeignWindowOnCreation& operator=(const CForeignWindowOnCreation&) = delete;

  static inline HWND s_hForeign = nullptr;

 private:
  static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam) noexcept {
    char szClass[16] = "";
    if (nCode == HCBT_CREATEWND && s_hForeign == nullptr &&
        GetClassNameA(reinterpret_cast<HWND>(wParam), szClass, sizeof szClass) > 0 && lstrcmpA(szClass, "#32770") == 0)
      s_hForeign = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
  }

  HHOOK m_hHook;
};

// Presses a key in the dialog, from another thread, once the dialog shows.
std::thread PressWhenShown(UINT nKey, bool* pShown) {
  return std::thread([=] {
    const HWND hDlg = WaitForDialog();
    *pShown = hDlg != nullptr;
    if (hDlg != nullptr) PostMessageA(GetDlgItem(hDlg, IDC_FOLDER), WM_KEYDOWN, nKey, 0);
  });
}

TEST(CreationHook, TakesTheWindowBeingCreatedAsTheDialogNotTheThreadsFirst) {
  CAwaitingWnd wnd;
  HWND hForeign = nullptr;
  const HWND hDlg = wnd.CreateDialogAfterForeignWindow(&hForeign);
  ASSERT_NE(hForeign, nullptr);
  ASSERT_NE(hDlg, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hForeign), nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hDlg), &wnd);
  EXPECT_EQ(wnd.m_hWnd, hDlg);
  DestroyWindow(hDlg);
  DestroyWindow(hForeign);
}

TEST(CreationHook, LeavesAWindowCreatedDuringTheDialogsCreationAlone) {
  const CForeignWindowOnCreation foreign;
  CProbeDlg dlg;
  ASSERT_TRUE(dlg.Create());
  ASSERT_NE(CForeignWindowOnCreation::s_hForeign, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(CForeignWindowOnCreation::s_hForeign), nullptr);
  EXPECT_NE(GetDlgItem(dlg.m_hWnd, IDC_FOLDER), nullptr) << "the object holds the dialog's window";
  EXPECT_EQ(SendMessageA(dlg.m_hWnd, WM_PROBE, 2, 3), 5);
}

TEST(MessageTable, UnpacksEachMessageForItsHandler) {
  CProbeDlg dlg;
  ASSERT_TRUE(dlg.Create());
  SendMessageA(dlg.m_hWnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(300, 200));
  EXPECT_EQ(dlg.m_nSizeType, static_cast<UINT>(SIZE_MAXIMIZED));
  EXPECT_EQ(dlg.m_cx, 300);
  EXPECT_EQ(dlg.m_cy, 200);

  EXPECT_EQ(SendMessageA(dlg.m_hWnd, WM_PROBE, 5, 7), 12);
  EXPECT_EQ(SendMessageA(dlg.m_hWnd, WM_QUERYNEWPALETTE, 0, 0), 77);
  const HWND hEdit = GetDlgItem(dlg.m_hWnd, IDC_FOLDER);
  SendMessageA(dlg.m_hWnd, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(hEdit), 0);
  EXPECT_EQ(dlg.m_hPaletteWnd, hEdit);
  EXPECT_EQ(SendMessageA(dlg.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hEdit), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(dlg.m_hCursorWnd, hEdit);
  EXPECT_EQ(dlg.m_nHitTest, static_cast<UINT>(HTCLIENT));
  EXPECT_EQ(dlg.m_nMouseMessage, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(dlg.WindowProc(WM_PROBE, 1, 2), 3);

  const HWND hLabel = GetDlgItem(dlg.m_hWnd, IDC_LABEL);
  HDC hDC = GetDC(hLabel);
  for (const auto& [message, nCtlColor] : {std::pair{WM_CTLCOLORSTATIC, CTLCOLOR_STATIC},
                                           std::pair{WM_CTLCOLOREDIT, CTLCOLOR_EDIT}}) {
    const LRESULT lBrush =
        SendMessageA(dlg.m_hWnd, message, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(hLabel));
    EXPECT_EQ(lBrush, reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)));
    EXPECT_EQ(dlg.m_nCtlColor, static_cast<UINT>(nCtlColor));
    EXPECT_EQ(dlg.m_hCtlColorWnd, hLabel);
  }
  EXPECT_EQ(SendMessageA(dlg.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0), TRUE);
  EXPECT_EQ(dlg.m_hEraseDC, hDC);
  ReleaseDC(hLabel, hDC);

  // A control's own painting asks its parent too.
  dlg.m_nCtlColor = 0xFFFF;
  dlg.ShowWindow(SW_SHOW);
  RedrawWindow(hLabel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(dlg.m_nCtlColor, static_cast<UINT>(CTLCOLOR_STATIC));
}

TEST(MessageTable, RoutesNotificationsByControlAndCode) {
  CProbeDlg dlg;
  ASSERT_TRUE(dlg.Create());
  SetDlgItemTextA(dlg.m_hWnd, IDC_FOLDER, "typed");
  EXPECT_EQ(dlg.m_nChanges, 1);
  SendMessageA(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_LABEL, EN_CHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg.m_hWnd, IDC_LABEL)));
  EXPECT_EQ(dlg.m_nChanges, 1);

  // The exchange's own writes are not the user's changes.
  dlg.m_strText = "from the member";
  dlg.UpdateData(FALSE);
  EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_FOLDER), "from the member");
  EXPECT_EQ(dlg.m_nChanges, 1);
  SetDlgItemTextA(dlg.m_hWnd, IDC_FOLDER, "typed again");
  dlg.UpdateData(TRUE);
  EXPECT_STREQ(dlg.m_strText, "typed again");
  EXPECT_EQ(dlg.m_nChanges, 2);
}

TEST(MessageTable, ReflectsOwnerDrawToTheButton) {
  CProbeDlg dlg;
  ASSERT_TRUE(dlg.Create());
  CProbeButton button;
  ASSERT_TRUE(button.SubclassDlgItem(IDOK, &dlg));
  EXPECT_EQ(CWnd::FromHandlePermanent(GetDlgItem(dlg.m_hWnd, IDOK)), &button);
  dlg.ShowWindow(SW_SHOW);
  dlg.UpdateWindow();
  ASSERT_FALSE(button.m_ids.empty());
  EXPECT_EQ(button.m_ids.front(), static_cast<UINT>(IDOK));
}

TEST(MessageTable, ReportsAFailureThatLeavesAHandlerAndGoesOn) {
  CProbeDlg dlg;
  ASSERT_TRUE(dlg.Create());
  std::vector<SeenBox> boxes;
  {
    CMessageBoxWatcher watcher;
    EXPECT_EQ(SendMessageA(dlg.m_hWnd, WM_THROW, 0, 0), 0);
    boxes = watcher.Seen();
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, ExecutableBaseName());
  EXPECT_NE(boxes[0].text.find("C:\\nowhere\\list.inf"), std::string::npos) << boxes[0].text;
  EXPECT_NE(boxes[0].text.find("could not be found"), std::string::npos) << boxes[0].text;
  EXPECT_TRUE(boxes[0].bIcon);
  EXPECT_TRUE(boxes[0].bOK);
  EXPECT_FALSE(boxes[0].bCancel);
  EXPECT_EQ(SendMessageA(dlg.m_hWnd, WM_PROBE, 1, 1), 2);
}

TEST(ModalLoop, ShowsWhenIdleAndEndsOnEscapeOrEnter) {
  for (const auto& [nKey, nResult] : {std::pair{VK_ESCAPE, IDCANCEL}, std::pair{VK_RETURN, IDOK}}) {
    CProbeDlg dlg;
    CShowRecorder shows;
    bool bShown = false;
    std::thread driver = PressWhenShown(nKey, &bShown);
    EXPECT_EQ(dlg.DoModal(), nResult);
    driver.join();
    EXPECT_TRUE(bShown);
    EXPECT_TRUE(shows.m_bShown);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
  }
}

TEST(ModalLoop, EndsBeforeShowingWhenTheProgramQuitsDuringInitialisation) {
  CProbeDlg dlg;
  dlg.m_onInit = [] { PostQuitMessage(3); };
  CShowRecorder shows;
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_FALSE(shows.m_bShown);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit goes on to the caller";
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(ModalLoop, DisablesTheOwnerUntilTheDialogEnds) {
  CProbeDlg owner;
  ASSERT_TRUE(owner.Create());
  owner.ShowWindow(SW_SHOW);
  CProbeDlg dlg(&owner);
  bool bOwnerEnabled = true;
  const HWND hOwner = owner.m_hWnd;
  std::thread driver([&bOwnerEnabled, hOwner] {
    const HWND hDlg = WaitForDialog(hOwner);
    bOwnerEnabled = IsWindowEnabled(hOwner) != FALSE;
    PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  driver.join();
  EXPECT_FALSE(bOwnerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
}

}  // namespace
