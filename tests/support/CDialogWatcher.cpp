#include "CDialogWatcher.h"

#include <chrono>
#include <string>

CDialogWatcher::~CDialogWatcher() { Stop(); }

void CDialogWatcher::Start() { m_thread = std::thread(&CDialogWatcher::Watch, this); }

void CDialogWatcher::Stop() {
  m_bStop = true;
  if (m_thread.joinable()) m_thread.join();
}

std::string CDialogWatcher::TextOf(HWND hWnd) {
  char sz[4096] = {};
  GetWindowTextA(hWnd, sz, sizeof(sz));
  return sz;
}

bool CDialogWatcher::IsShownControl(HWND hDialog, int nID) {
  const HWND hControl = GetDlgItem(hDialog, nID);
  return hControl != nullptr && IsWindowVisible(hControl);
}

void CDialogWatcher::Press(HWND hDialog, int nID) {
  PostMessageA(hDialog, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDialog, nID)));
}

namespace {

struct Search {
  const CDialogWatcher* pWatcher;
  HWND hFound;
};

}  // namespace

BOOL CALLBACK CDialogWatcher::Visit(HWND hWnd, LPARAM lParam) {
  auto& search = *reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hWnd, &pid);
  char szClass[16] = {};
  GetClassNameA(hWnd, szClass, sizeof(szClass));
  if (pid != GetCurrentProcessId() || lstrcmpA(szClass, "#32770") != 0 || !IsWindowVisible(hWnd) ||
      !search.pWatcher->IsMine(hWnd))
    return TRUE;
  search.hFound = hWnd;
  return FALSE;
}

HWND CDialogWatcher::Find() const {
  Search search{this, nullptr};
  EnumWindows(&CDialogWatcher::Visit, reinterpret_cast<LPARAM>(&search));
  return search.hFound;
}

void CDialogWatcher::Watch() {
  while (!m_bStop) {
    if (const HWND hDialog = Find()) {
      Answer(hDialog);
      // The same dialog must not be answered twice.
      while (!m_bStop && IsWindow(hDialog) && IsWindowVisible(hDialog))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}
