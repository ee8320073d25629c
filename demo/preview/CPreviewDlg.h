// A window that says it is the Korvi 2 preview and where it runs from; it closes on Escape or
// by itself after a few seconds.
#pragma once

#include "CDialog.h"

class CPreviewDlg : public CDialog {
 public:
  CPreviewDlg();

  const MessageTable& GetMessageTable() const override { return messages; }
  static const MessageTable messages;

 protected:
  BOOL OnInitDialog() override;
  void OnTimer(UINT_PTR nIDEvent);
};
