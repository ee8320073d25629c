#include "CDialog.h"

#include "AfxCallGuarded.h"
#include "AfxModuleState.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

const CDialog::MessageTable CDialog::messages = {
    &CWnd::messages,
    {
        OnNotify<BN_CLICKED>(IDOK, &CDialog::OnOK),
        OnNotify<BN_CLICKED>(IDCANCEL, &CDialog::OnCancel),
    }};

namespace {

// A modal dialog's owner takes no input until the dialog ends.
class COwnerDisabled {
 public:
  explicit COwnerDisabled(HWND hWndOwner)
      : m_hWndOwner(hWndOwner != nullptr && IsWindowEnabled(hWndOwner) ? hWndOwner : nullptr) {
    if (m_hWndOwner != nullptr) EnableWindow(m_hWndOwner, FALSE);
  }
  ~COwnerDisabled() {
    if (m_hWndOwner == nullptr) return;
    EnableWindow(m_hWndOwner, TRUE);
    SetActiveWindow(m_hWndOwner);
  }
  COwnerDisabled(const COwnerDisabled&) = delete;
  COwnerDisabled& operator=(const COwnerDisabled&) = delete;

 private:
  HWND m_hWndOwner;
};

// The window class of a dialog whose template names none, as the system reports it.
constexpr const char* kDialogClass = "#32770";

// Templates may hold common controls (the progress bar); their classes must exist first.
void RegisterCommonControls() {
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
}

// What the loop does when its queue runs dry.
void OnIdle(CWnd& wnd, BOOL& bShown) {
  if (!bShown) {
    wnd.ShowWindow(SW_SHOWNORMAL);
    wnd.UpdateWindow();
    bShown = TRUE;
  }
  CDC::DeleteTempMap();
  CWnd::DeleteTempMap();
}

}  // namespace

CDialog::~CDialog() { DestroyWindow(); }

INT_PTR CDialog::DoModal() {
  const HWND hWndOwner = m_pParentWnd != nullptr ? GetAncestor(m_pParentWnd->m_hWnd, GA_ROOT) : nullptr;
  m_nModalResult = -1;
  {
    const COwnerDisabled owner(hWndOwner);
    if (CreateIndirect(hWndOwner)) RunModalLoop();
  }
  DestroyWindow();
  return m_nModalResult;
}

BOOL CDialog::Create() {
  return CreateIndirect(m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr);
}

BOOL CDialog::CreateIndirect(HWND hWndOwner) {
  const HINSTANCE hInstance = AfxGetResourceHandle();
  const HRSRC hResource = FindResourceA(hInstance, MAKEINTRESOURCEA(m_nIDTemplate), MAKEINTRESOURCEA(5));
  const HGLOBAL hTemplate = hResource != nullptr ? LoadResource(hInstance, hResource) : nullptr;
  if (hTemplate == nullptr) return FALSE;
  RegisterCommonControls();
  m_bContinueModal = TRUE;
  const CCreationHook hook(this, kDialogClass, hWndOwner);
  if (CreateDialogIndirectParamA(hInstance, static_cast<LPCDLGTEMPLATEA>(LockResource(hTemplate)), hWndOwner,
                                 &CDialog::AfxDlgProc, reinterpret_cast<LPARAM>(this)) != nullptr)
    return TRUE;
  m_bContinueModal = FALSE;
  return FALSE;
}

void CDialog::RunModalLoop() {
  BOOL bShown = (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
  MSG msg;
  while (ContinueModal()) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) OnIdle(*this, bShown);
    if (!GetMessageA(&msg, nullptr, 0, 0)) {
      // The program is ending: the loop that called us must see the quit too.
      PostQuitMessage(static_cast<int>(msg.wParam));
      m_nModalResult = -1;
      return;
    }
    if (!IsDialogMessageA(m_hWnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  m_bContinueModal = FALSE;
  ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() { return UpdateData(FALSE); }

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

INT_PTR CALLBACK CDialog::AfxDlgProc(HWND, UINT message, WPARAM, LPARAM lParam) noexcept {
  // Everything else reaches the dialog through its message table before the dialog manager.
  if (message != WM_INITDIALOG) return FALSE;
  CDialog* pDlg = reinterpret_cast<CDialog*>(lParam);
  return AfxCallGuarded([&] { return LRESULT(pDlg->OnInitDialog()); }, FALSE);
}
