// Answers the real file dialogs (open and save) this process shows, from a thread of its own:
// types a path into the file name box and presses OK, or presses Cancel when the path is empty.
// Remembers what each dialog offered.
#pragma once

#include "CDialogWatcher.h"

#include <mutex>
#include <string>
#include <vector>

struct SeenFileDialog {
  std::string caption;
  std::string fileName;            // the file name box as the dialog opened
  std::vector<std::string> types;  // the file type list, as shown
  bool bReadOnlyShown = false;     // the "open as read-only" box
};

class CFileDialogWatcher : public CDialogWatcher {
 public:
  explicit CFileDialogWatcher(std::string path);
  ~CFileDialogWatcher();

  std::vector<SeenFileDialog> Seen() const;

 private:
  bool IsMine(HWND hDialog) const override;
  void Answer(HWND hDialog) override;

  std::string m_path;
  mutable std::mutex m_mutex;
  std::vector<SeenFileDialog> m_seen;
};
