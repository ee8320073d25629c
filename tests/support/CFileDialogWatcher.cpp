#include "CFileDialogWatcher.h"

#include <dlgs.h>

namespace {

// The file name box: a combo box in the explorer-style dialog, an edit box in the older one.
HWND FileNameBox(HWND hDialog) {
  return CDialogWatcher::IsShownControl(hDialog, cmb13) ? GetDlgItem(hDialog, cmb13) : GetDlgItem(hDialog, edt1);
}

std::vector<std::string> TypesOf(HWND hDialog) {
  std::vector<std::string> types;
  const int nCount = static_cast<int>(SendDlgItemMessageA(hDialog, cmb1, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < nCount; ++i) {
    char sz[512] = {};
    if (SendDlgItemMessageA(hDialog, cmb1, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof sz))
      SendDlgItemMessageA(hDialog, cmb1, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(sz));
    types.emplace_back(sz);
  }
  return types;
}

}  // namespace

CFileDialogWatcher::CFileDialogWatcher(std::string path) : m_path(std::move(path)) { Start(); }

CFileDialogWatcher::~CFileDialogWatcher() { Stop(); }

std::vector<SeenFileDialog> CFileDialogWatcher::Seen() const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_seen;
}

bool CFileDialogWatcher::IsMine(HWND hDialog) const { return GetDlgItem(hDialog, cmb1) != nullptr; }

void CFileDialogWatcher::Answer(HWND hDialog) {
  SeenFileDialog seen;
  seen.caption = TextOf(hDialog);
  seen.fileName = TextOf(FileNameBox(hDialog));
  seen.types = TypesOf(hDialog);
  seen.bReadOnlyShown = IsShownControl(hDialog, chx1);
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_seen.push_back(seen);
  }
  if (m_path.empty()) {
    Press(hDialog, IDCANCEL);
    return;
  }
  SendMessageA(FileNameBox(hDialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_path.c_str()));
  Press(hDialog, IDOK);
}
