// Answers the real message boxes this process shows, from a thread of its own, and remembers
// what each one said.
#pragma once

#include "CDialogWatcher.h"

#include <mutex>
#include <string>
#include <vector>

struct SeenBox {
  std::string caption;
  std::string text;
  bool bIcon = false;
  UINT uIcon = 0;  // MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK or 0
  bool bOK = false;
  bool bCancel = false;
};

class CMessageBoxWatcher : public CDialogWatcher {
 public:
  // Presses the buttons given, one box after another; IDOK for boxes beyond them.
  explicit CMessageBoxWatcher(std::vector<int> answers = {});
  ~CMessageBoxWatcher();

  std::vector<SeenBox> Seen() const;

 private:
  bool IsMine(HWND hDialog) const override;
  void Answer(HWND hBox) override;

  std::vector<int> m_answers;
  mutable std::mutex m_mutex;
  std::vector<SeenBox> m_seen;
};
