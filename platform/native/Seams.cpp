#include "Seams.h"

#include <cstdio>
#include <utility>

namespace {

native::MessageBoxHandler& MessageBoxSeam() {
  static native::MessageBoxHandler handler;
  return handler;
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

}  // namespace native

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (MessageBoxSeam()) return MessageBoxSeam()(owner, text, caption, type);
  std::fprintf(stderr, "[%s] %s\n", caption ? caption : "", text ? text : "");
  return FirstButton(type);
}
