#include "CMessageBoxWatcher.h"

#include <dlgs.h>

namespace {

bool HasIcon(HWND hBox) {
  const HWND hIcon = GetDlgItem(hBox, 0x440);
  return CDialogWatcher::IsShownControl(hBox, 0x440) && (GetWindowLongA(hIcon, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
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

CMessageBoxWatcher::CMessageBoxWatcher(std::vector<int> answers) : m_answers(std::move(answers)) { Start(); }

CMessageBoxWatcher::~CMessageBoxWatcher() { Stop(); }

std::vector<SeenBox> CMessageBoxWatcher::Seen() const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_seen;
}

// A message box has its text in control 0xFFFF; a file dialog, which may have such a label too,
// has a list of file types.
bool CMessageBoxWatcher::IsMine(HWND hDialog) const {
  return GetDlgItem(hDialog, 0xFFFF) != nullptr && GetDlgItem(hDialog, cmb1) == nullptr;
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
  Press(hBox, nAnswer);
}
