// Answers the real dialogs this process shows, from a thread of its own: a subclass says which
// dialogs (visible windows of class #32770) are its kind and how to answer one. Each dialog is
// answered once; the watcher then waits for it to close.
#pragma once

#include "win32.h"

#include <atomic>
#include <string>
#include <thread>

class CDialogWatcher {
 public:
  CDialogWatcher(const CDialogWatcher&) = delete;
  CDialogWatcher& operator=(const CDialogWatcher&) = delete;

  // What a watcher reads of a dialog, and its click.
  static std::string TextOf(HWND hWnd);
  static bool IsShownControl(HWND hDialog, int nID);
  static void Press(HWND hDialog, int nID);

 protected:
  CDialogWatcher() = default;
  // A subclass starts watching once it is whole, and stops before it is taken apart.
  ~CDialogWatcher();
  void Start();
  void Stop();

  virtual bool IsMine(HWND hDialog) const = 0;
  virtual void Answer(HWND hDialog) = 0;

 private:
  void Watch();
  HWND Find() const;
  // EnumWindows's callback: stops at the first dialog of this process that IsMine takes.
  static BOOL CALLBACK Visit(HWND hWnd, LPARAM lParam);

  std::atomic<bool> m_bStop{false};
  std::thread m_thread;
};
