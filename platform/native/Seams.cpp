#include "Seams.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

native::MessageBoxHandler& MessageBoxSeam() {
  static native::MessageBoxHandler handler;
  return handler;
}

native::FileDialogHandler& FileDialogSeam() {
  static native::FileDialogHandler handler;
  return handler;
}

thread_local DWORD dialogError = 0;

// The structure as it was before the Windows 2000 fields, which callers may still pass.
constexpr DWORD kOldStructSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);

BOOL TooSmall(OPENFILENAMEA& ofn, std::size_t needed) {
  dialogError = FNERR_BUFFERTOOSMALL;
  // Windows puts the size needed in the first two bytes of the buffer.
  if (ofn.lpstrFile != nullptr && ofn.nMaxFile >= sizeof(WORD)) {
    const auto size = static_cast<WORD>(needed);
    std::memcpy(ofn.lpstrFile, &size, sizeof size);
  }
  return FALSE;
}

BOOL FillAnswer(OPENFILENAMEA& ofn, std::string path) {
  const std::size_t slash = path.find_last_of("\\/");
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = path.find_last_of('.');
  if ((dot == std::string::npos || dot < name) && ofn.lpstrDefExt != nullptr && *ofn.lpstrDefExt != '\0') {
    dot = path.size();
    path += '.';
    path += ofn.lpstrDefExt;
  }
  if (ofn.lpstrFile == nullptr || path.size() + 1 > ofn.nMaxFile) return TooSmall(ofn, path.size() + 1);
  std::memcpy(ofn.lpstrFile, path.c_str(), path.size() + 1);
  ofn.nFileOffset = static_cast<WORD>(name);
  ofn.nFileExtension = static_cast<WORD>(dot == std::string::npos || dot < name ? path.size() : dot + 1);
  if (ofn.lpstrFileTitle != nullptr && ofn.nMaxFileTitle > 0) {
    const std::size_t n = std::min<std::size_t>(path.size() - name, ofn.nMaxFileTitle - 1);
    std::memcpy(ofn.lpstrFileTitle, path.c_str() + name, n);
    ofn.lpstrFileTitle[n] = '\0';
  }
  return TRUE;
}

BOOL ShowFileDialog(BOOL save, LPOPENFILENAMEA ofn) {
  dialogError = 0;
  if (ofn == nullptr || (ofn->lStructSize != sizeof(OPENFILENAMEA) && ofn->lStructSize != kOldStructSize)) {
    dialogError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  if (!FileDialogSeam()) return FALSE;
  const std::optional<std::string> answer = FileDialogSeam()(save, *ofn);
  return answer ? FillAnswer(*ofn, *answer) : FALSE;
}

int FirstButton(UINT type) {
  switch (type & 0xF) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
  }
}

}  // namespace

namespace native {

void SetMessageBoxHandler(MessageBoxHandler handler) { MessageBoxSeam() = std::move(handler); }
void SetFileDialogHandler(FileDialogHandler handler) { FileDialogSeam() = std::move(handler); }

}  // namespace native

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (MessageBoxSeam()) return MessageBoxSeam()(owner, text, caption, type);
  std::fprintf(stderr, "[%s] %s\n", caption ? caption : "", text ? text : "");
  return FirstButton(type);
}

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn) { return ShowFileDialog(FALSE, ofn); }
BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn) { return ShowFileDialog(TRUE, ofn); }
DWORD CommDlgExtendedError() { return dialogError; }
