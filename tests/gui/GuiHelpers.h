// What the GUI tests do to a dialog as a user would, and how they read it back.
#pragma once

#include "CWnd.h"

#include <functional>
#include <string>
#include <vector>

class CSetupDlg;

// Dispatches this thread's messages, as the dialog's loop would, until one with the given
// message number has been dispatched or the queue runs dry.
void PumpUntil(HWND hDlg, UINT message);

std::string ItemText(HWND hDlg, int nID);
// A control's rectangle in its dialog's client coordinates.
RECT ItemRect(HWND hDlg, int nID);
// Whether the control itself is shown, whether or not its dialog is.
bool ItemVisible(HWND hDlg, int nID);

// The setup dialog as the program makes it, the main window, shown and painted, without a loop
// of its own.
void OpenSetup(CSetupDlg& dlg);

// A click on a dialog button.
void Click(HWND hDlg, int nID);

// Records what a progress bar is told while it lives.
class CProgressRecorder {
 public:
  explicit CProgressRecorder(HWND hProgress);
  ~CProgressRecorder();
  CProgressRecorder(const CProgressRecorder&) = delete;
  CProgressRecorder& operator=(const CProgressRecorder&) = delete;

  std::vector<LPARAM> m_ranges;
  std::vector<int> m_positions;
  // Runs when the bar is first told a position, before it takes it.
  std::function<void()> m_atFirstPosition;

 private:
  static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  HWND m_hProgress;
  WNDPROC m_pfnOld;
};

// Notes every dialog with a folder box (control 1000) that is shown while it lives.
class CShowRecorder {
 public:
  CShowRecorder();
  ~CShowRecorder();
  CShowRecorder(const CShowRecorder&) = delete;
  CShowRecorder& operator=(const CShowRecorder&) = delete;

  bool m_bShown = false;

 private:
  static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam) noexcept;

  HHOOK m_hHook;
};

// Waits (up to 10 s) until this process shows a dialog with a folder box, owned by hOwner when
// one is given; null if none came.
HWND WaitForDialog(HWND hOwner = nullptr);
// The name the framework gives this program: its executable's base name.
std::string ExecutableBaseName();
// Sets the profile value KORWIN/INI while it lives; null removes it.
class CProfileValue {
 public:
  explicit CProfileValue(const char* pszValue) { WriteProfileStringA("KORWIN", "INI", pszValue); }
  ~CProfileValue() { WriteProfileStringA("KORWIN", "INI", nullptr); }
  CProfileValue(const CProfileValue&) = delete;
  CProfileValue& operator=(const CProfileValue&) = delete;
};
