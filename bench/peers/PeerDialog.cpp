// The smallest dialog program the setup's start-up and size are measured against: a dialog from
// a template, shown modally, with the same milestone when its background is first painted.
#include "TimingMarks.h"

#include <windows.h>

#include "PeerDialog.h"

namespace {

INT_PTR CALLBACK DialogProc(HWND hDlg, UINT nMessage, WPARAM wParam, LPARAM) {
  switch (nMessage) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_ERASEBKGND:
      // The default erase, then the milestone: the dialog is on the screen.
      SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, DefWindowProcA(hDlg, nMessage, wParam, 0));
      MarkTiming("skin-drawn");
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(hDlg, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  return static_cast<int>(DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_PEER), nullptr, DialogProc, 0));
}
