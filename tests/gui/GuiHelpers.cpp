#include "GuiHelpers.h"

#include "CSetupDlg.h"
#include "CWinApp.h"

#include <gtest/gtest.h>

namespace {

CProgressRecorder* g_pRecorder = nullptr;

}  // namespace

void PumpUntil(HWND hDlg, UINT message) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageA(hDlg, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (msg.message == message) return;
  }
}

std::string ItemText(HWND hDlg, int nID) {
  char sz[1024] = {};
  GetDlgItemTextA(hDlg, nID, sz, sizeof(sz));
  return sz;
}

RECT ItemRect(HWND hDlg, int nID) {
  RECT rc;
  GetWindowRect(GetDlgItem(hDlg, nID), &rc);
  MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

bool ItemVisible(HWND hDlg, int nID) { return (GetWindowLongA(GetDlgItem(hDlg, nID), GWL_STYLE) & WS_VISIBLE) != 0; }

void OpenSetup(CSetupDlg& dlg) {
  AfxGetApp()->m_pMainWnd = &dlg;
  ASSERT_TRUE(dlg.Create());
  dlg.ShowWindow(SW_SHOW);
  dlg.UpdateWindow();
}

void Click(HWND hDlg, int nID) { SendMessageA(GetDlgItem(hDlg, nID), BM_CLICK, 0, 0); }

CProgressRecorder::CProgressRecorder(HWND hProgress)
    : m_hProgress(hProgress),
      m_pfnOld(reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(hProgress, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CProgressRecorder::Proc)))) {
  g_pRecorder = this;
}

CProgressRecorder::~CProgressRecorder() {
  if (IsWindow(m_hProgress)) SetWindowLongPtrA(m_hProgress, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnOld));
  g_pRecorder = nullptr;
}

LRESULT CALLBACK CProgressRecorder::Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == PBM_SETRANGE) g_pRecorder->m_ranges.push_back(lParam);
  if (message == PBM_SETPOS) {
    if (g_pRecorder->m_positions.empty() && g_pRecorder->m_atFirstPosition) g_pRecorder->m_atFirstPosition();
    g_pRecorder->m_positions.push_back(static_cast<int>(wParam));
  }
  return CallWindowProcA(g_pRecorder->m_pfnOld, hWnd, message, wParam, lParam);
}

namespace {

CShowRecorder* g_pShowRecorder = nullptr;

bool IsFolderDialog(HWND hWnd) {
  char szClass[16] = {};
  GetClassNameA(hWnd, szClass, sizeof(szClass));
  return lstrcmpA(szClass, "#32770") == 0 && GetDlgItem(hWnd, 1000) != nullptr;
}

}  // namespace

CShowRecorder::CShowRecorder()
    : m_hHook(SetWindowsHookExA(WH_CALLWNDPROC, &CShowRecorder::Hook, nullptr, GetCurrentThreadId())) {
  g_pShowRecorder = this;
}

CShowRecorder::~CShowRecorder() {
  UnhookWindowsHookEx(m_hHook);
  g_pShowRecorder = nullptr;
}

LRESULT CALLBACK CShowRecorder::Hook(int nCode, WPARAM wParam, LPARAM lParam) noexcept {
  const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (nCode == HC_ACTION && pMsg->message == WM_SHOWWINDOW && pMsg->wParam && IsFolderDialog(pMsg->hwnd))
    g_pShowRecorder->m_bShown = true;
  return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

namespace {

struct DialogSearch {
  HWND hOwner;
  HWND hFound;
};

BOOL CALLBACK IsSoughtDialog(HWND hWnd, LPARAM lParam) {
  DialogSearch* pSearch = reinterpret_cast<DialogSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hWnd, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(hWnd) || !IsFolderDialog(hWnd) ||
      (pSearch->hOwner != nullptr && GetWindow(hWnd, GW_OWNER) != pSearch->hOwner))
    return TRUE;
  pSearch->hFound = hWnd;
  return FALSE;
}

}  // namespace

HWND WaitForDialog(HWND hOwner) {
  for (int i = 0; i < 1000; ++i) {
    DialogSearch search{hOwner, nullptr};
    EnumWindows(&IsSoughtDialog, reinterpret_cast<LPARAM>(&search));
    if (search.hFound != nullptr) return search.hFound;
    Sleep(10);
  }
  return nullptr;
}

std::string ExecutableBaseName() {
  char szPath[MAX_PATH];
  GetModuleFileNameA(nullptr, szPath, MAX_PATH);
  std::string name(szPath);
  name = name.substr(name.rfind('\\') + 1);
  return name.substr(0, name.rfind('.'));
}
