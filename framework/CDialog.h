// A dialog made from a template in the program's resources, modal or modeless.
#pragma once

#include "CWnd.h"

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
      : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}
  ~CDialog() override;

  // Creates the dialog, disables its owner and runs it until EndDialog or WM_QUIT; the dialog
  // first shows when its loop goes idle. Returns the EndDialog result, -1 after WM_QUIT (which
  // is posted again for the caller's loop) or when the dialog could not be created.
  virtual INT_PTR DoModal();
  // Creates the dialog without a loop of its own; visible only if its template says so.
  BOOL Create();
  // Hides the dialog and ends its loop with nResult.
  void EndDialog(int nResult);
  BOOL ContinueModal() const { return m_bContinueModal; }

  const MessageTable& GetMessageTable() const override { return messages; }
  static const MessageTable messages;

 protected:
  // TRUE lets the dialog manager give the focus to the first tab stop.
  virtual BOOL OnInitDialog();
  // OK reads the controls back into the members and ends the dialog with IDOK.
  virtual void OnOK();
  virtual void OnCancel();

 private:
  static INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  BOOL CreateIndirect(HWND hWndOwner);
  void RunModalLoop();

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
  int m_nModalResult = -1;
  BOOL m_bContinueModal = FALSE;
};
