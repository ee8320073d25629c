#include "CMessageBoxWatcher.h"

#include <chrono>

namespace {

// A message box: a dialog of this process with the message text control 0xFFFF.
BOOL CALLBACK IsMessageBox(HWND hWnd, LPARAM lParam) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hWnd, &pid);
  char szClass[16] = {};
  GetClassNameA(hWnd, szClass, sizeof(szClass));
  if (pid != GetCurrentProcessId() || lstrcmpA(szClass, "#32770") != 0 || !IsWindowVisible(hWnd) ||
      GetDlgItem(hWnd, 0xFFFF) == nullptr)
    return TRUE;
  *reinterpret_cast<HWND*>(lParam) = hWnd;
  return FALSE;
}

HWND FindMessageBox() {
  HWND hBox = nullptr;
  EnumWindows(&IsMessageBox, reinterpret_cast<LPARAM>(&hBox));
  return hBox;
}

std::string TextOf(HWND hWnd) {
  char sz[4096] = {};
  GetWindowTextA(hWnd, sz, sizeof(sz));
  return sz;
}

bool IsShownControl(HWND hBox, int nID) {
  const HWND hControl = GetDlgItem(hBox, nID);
  return hControl != nullptr && IsWindowVisible(hControl);
}

bool HasIcon(HWND hBox) {
  const HWND hIcon = GetDlgItem(hBox, 0x440);
  return IsShownControl(hBox, 0x440) && (GetWindowLongA(hIcon, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
         SendMessageA(hIcon, STM_GETICON, 0, 0) != 0;
}

// The box shows one of the platform's shared icons; the style that chose it.
UINT IconStyle(HWND hBox) {
  if (!HasIcon(hBox)) return 0;
  const HICON hIcon = reinterpret_cast<HICON>(SendDlgItemMessageA(hBox, 0x440, STM_GETICON, 0, 0));
  const struct {
    LPCSTR pszIcon;
    UINT uStyle;
  } icons[] = {{IDI_HAND, MB_ICONHAND},
               {IDI_QUESTION, MB_ICONQUESTION},
               {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
               {IDI_ASTERISK, MB_ICONASTERISK}};
  for (const auto& icon : icons)
    if (LoadIconA(nullptr, icon.pszIcon) == hIcon) return icon.uStyle;
  return 0;
}

}  // namespace

CMessageBoxWatcher::CMessageBoxWatcher(std::vector<int> answers)
    : m_answers(std::move(answers)), m_thread(&CMessageBoxWatcher::Watch, this) {}

CMessageBoxWatcher::~CMessageBoxWatcher() {
  m_bStop = true;
  m_thread.join();
}

std::vector<SeenBox> CMessageBoxWatcher::Seen() const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_seen;
}

void CMessageBoxWatcher::Watch() {
  while (!m_bStop) {
    if (const HWND hBox = FindMessageBox()) Answer(hBox);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void CMessageBoxWatcher::Answer(HWND hBox) {
  SeenBox box;
  box.caption = TextOf(hBox);
  box.text = TextOf(GetDlgItem(hBox, 0xFFFF));
  box.bIcon = HasIcon(hBox);
  box.uIcon = IconStyle(hBox);
  box.bOK = IsShownControl(hBox, IDOK);
  box.bCancel = IsShownControl(hBox, IDCANCEL);
  size_t nIndex = 0;
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    nIndex = m_seen.size();
    m_seen.push_back(box);
  }
  const int nAnswer = nIndex < m_answers.size() ? m_answers[nIndex] : IDOK;
  PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(nAnswer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hBox, nAnswer)));
  // The same box must not be answered twice.
  while (!m_bStop && IsWindow(hBox) && IsWindowVisible(hBox))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}
