#include "CWnd.h"

#include "AfxCallGuarded.h"
#include "AfxModuleState.h"
#include "CDataExchange.h"
#include "CWinApp.h"

#include <map>
#include <memory>

IMPLEMENT_DYNAMIC(CWnd, CObject)

const CWnd::MessageTable CWnd::messages = {
    nullptr,
    {
        OnMessage<WM_DRAWITEM>(&CWnd::OnDrawItem),
    }};

namespace {

// Windows belong to the thread that made them, and so do the maps.
std::map<HWND, CWnd*>& PermanentMap() {
  static thread_local std::map<HWND, CWnd*> map;
  return map;
}

std::map<HWND, std::unique_ptr<CWnd>>& TempMap() {
  static thread_local std::map<HWND, std::unique_ptr<CWnd>> map;
  return map;
}

// The window a creation hook waits for: the first one of its class and owner.
struct CAwaitedWindow {
  CWnd* pWnd;
  const char* pszClass;
  HWND hWndOwner;
};

thread_local CAwaitedWindow t_awaited{};

// Sets a value for the lifetime of a scope and restores the old one however the scope ends.
template <class T>
class CScopedValue {
 public:
  CScopedValue(T& ref, T value) : m_ref(ref), m_old(ref) { m_ref = value; }
  ~CScopedValue() { m_ref = m_old; }
  CScopedValue(const CScopedValue&) = delete;
  CScopedValue& operator=(const CScopedValue&) = delete;

 private:
  T& m_ref;
  T m_old;
};

// The system may create windows of its own on the thread first (an input-method window for a
// thread's first top-level window, say); those must not take the object.
bool IsAwaitedWindow(HWND hWnd, const CREATESTRUCTA& cs) {
  if ((cs.style & WS_CHILD) != 0 || cs.hwndParent != t_awaited.hWndOwner) return false;
  char szClass[64];
  return GetClassNameA(hWnd, szClass, sizeof szClass) > 0 && lstrcmpiA(szClass, t_awaited.pszClass) == 0;
}

LRESULT CALLBACK CreationHookProc(int nCode, WPARAM wParam, LPARAM lParam) noexcept {
  const HWND hWnd = reinterpret_cast<HWND>(wParam);
  if (nCode == HCBT_CREATEWND && t_awaited.pWnd != nullptr &&
      IsAwaitedWindow(hWnd, *reinterpret_cast<const CBT_CREATEWNDA*>(lParam)->lpcs)) {
    CWnd* pWnd = t_awaited.pWnd;
    t_awaited = {};
    AfxCallGuarded([&] { return LRESULT(pWnd->SubclassWindow(hWnd)); }, FALSE);
  }
  return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

// The framework's message boxes are owned by the main window while it has a handle.
void TrackMainWindow(const CWnd* pWnd, HWND hWnd) {
  if (AfxGetMainWnd() == pWnd) AfxGetModuleState()->m_hWndMain = hWnd;
}

}  // namespace

CWnd::CCreationHook::CCreationHook(CWnd* pWnd, const char* pszClass, HWND hWndOwner)
    : m_hHook(SetWindowsHookExA(WH_CBT, CreationHookProc, nullptr, GetCurrentThreadId())) {
  t_awaited = {pWnd, pszClass, hWndOwner};
}

CWnd::CCreationHook::~CCreationHook() {
  t_awaited = {};
  if (m_hHook != nullptr) UnhookWindowsHookEx(m_hHook);
}

CWnd::~CWnd() {
  if (m_hWnd == nullptr || FromHandlePermanent(m_hWnd) != this) return;
  if (m_pfnSuper != nullptr) SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  const auto it = PermanentMap().find(hWnd);
  return it == PermanentMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  if (CWnd* pWnd = FromHandlePermanent(hWnd)) return pWnd;
  std::unique_ptr<CWnd>& pTemp = TempMap()[hWnd];
  if (!pTemp) {
    pTemp = std::make_unique<CWnd>();
    pTemp->m_hWnd = hWnd;
  }
  return pTemp.get();
}

void CWnd::DeleteTempMap() { TempMap().clear(); }

BOOL CWnd::Attach(HWND hWndNew) {
  if (hWndNew == nullptr) return FALSE;
  m_hWnd = hWndNew;
  PermanentMap()[hWndNew] = this;
  TempMap().erase(hWndNew);
  TrackMainWindow(this, hWndNew);
  return TRUE;
}

HWND CWnd::Detach() {
  const HWND hWnd = m_hWnd;
  if (hWnd != nullptr) {
    PermanentMap().erase(hWnd);
    TrackMainWindow(this, nullptr);
  }
  m_hWnd = nullptr;
  m_pfnSuper = nullptr;
  return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  m_pfnSuper = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

CString CWnd::GetWindowText() const {
  CString strText;
  const int nLength = ::GetWindowTextLengthA(m_hWnd);
  strText.ReleaseBuffer(::GetWindowTextA(m_hWnd, strText.GetBuffer(nLength), nLength + 1));
  return strText;
}

void CWnd::SetWindowText(const char* pszString) { ::SetWindowTextA(m_hWnd, pszString); }

int CWnd::MessageBox(const char* pszText, const char* pszCaption, UINT nType) {
  return ::MessageBoxA(m_hWnd, pszText, pszCaption != nullptr ? pszCaption : AfxGetAppName(), nType);
}

BOOL CWnd::DestroyWindow() { return m_hWnd != nullptr && ::DestroyWindow(m_hWnd); }

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  const CScopedValue<BOOL> lockout(m_bLockoutNotify, TRUE);
  DoDataExchange(&dx);
  return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const CScopedValue<CurrentMessage> current(m_msgCur, {message, wParam, lParam});
  LRESULT lResult = 0;
  if (!OnWndMsg(message, wParam, lParam, &lResult)) lResult = DefWindowProc(message, wParam, lParam);
  return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  UINT nKey = message;
  UINT nCode = 0;
  UINT nID = 0;
  if (message == WM_COMMAND) {
    // A control's notification during data exchange is the exchange's own echo.
    if (lParam != 0 && m_bLockoutNotify) return TRUE;
    nCode = HIWORD(wParam);
    nID = LOWORD(wParam);
  } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
    nKey = WM_CTLCOLOR;
  }
  const CMessageEntry* pEntry = GetMessageTable().Find(nKey, nCode, nID);
  if (pEntry == nullptr) return FALSE;
  *pResult = pEntry->pfnThunk(this, pEntry->pfn, message, wParam, lParam);
  return TRUE;
}

LRESULT CWnd::Default() { return DefWindowProc(m_msgCur.message, m_msgCur.wParam, m_msgCur.lParam); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != nullptr) return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) {
  CWnd* pControl = FromHandlePermanent(lpDrawItemStruct->hwndItem);
  LRESULT lResult = 0;
  if (pControl == nullptr ||
      !pControl->OnChildNotify(WM_DRAWITEM, m_msgCur.wParam, m_msgCur.lParam, &lResult))
    Default();
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  CWnd* pWnd = FromHandlePermanent(hWnd);
  if (pWnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The window's last message: after its own processing the object lets go of the handle.
    const LRESULT lResult = pWnd->DefWindowProc(message, wParam, lParam);
    pWnd->Detach();
    return lResult;
  }
  return AfxCallGuarded([&] { return pWnd->WindowProc(message, wParam, lParam); }, 0);
}
