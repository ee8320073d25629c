// Answers the real message boxes this process shows, from a thread of its own, and remembers
// what each one said.
#pragma once

#include "win32.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenBox {
  std::string caption;
  std::string text;
  bool bIcon = false;
  UINT uIcon = 0;  // MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK or 0
  bool bOK = false;
  bool bCancel = false;
};

class CMessageBoxWatcher {
 public:
  // Presses the buttons given, one box after another; IDOK for boxes beyond them.
  explicit CMessageBoxWatcher(std::vector<int> answers = {});
  ~CMessageBoxWatcher();
  CMessageBoxWatcher(const CMessageBoxWatcher&) = delete;
  CMessageBoxWatcher& operator=(const CMessageBoxWatcher&) = delete;

  std::vector<SeenBox> Seen() const;

 private:
  void Watch();
  void Answer(HWND hBox);

  std::vector<int> m_answers;
  mutable std::mutex m_mutex;
  std::vector<SeenBox> m_seen;
  std::atomic<bool> m_bStop{false};
  std::thread m_thread;
};
