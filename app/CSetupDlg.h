// The setup dialog: it proposes an install folder, lets the user change it and, on OK, installs
// the listed files into it.
#pragma once

#include "CBrush.h"
#include "CDialog.h"
#include "CProgressCtrl.h"

class CCopyFailures;

// Posted to itself by OK; the install runs when the dialog's loop takes it.
constexpr UINT WM_INSTALL = WM_USER + 200;

class CSetupDlg : public CDialog {
 public:
  explicit CSetupDlg(CWnd* pParent = nullptr);

  const MessageTable& GetMessageTable() const override { return messages; }
  static const MessageTable messages;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // Starts the installation; the dialog stays open.
  void OnOK() override;

  void OnChangeFolder();
  LRESULT OnInstall(WPARAM wParam, LPARAM lParam);

 private:
  void LayOutControls();
  // Fills m_strFolder from the profile; on failure tells the user and ends the program.
  BOOL ProposeFolder();

  // The steps of the installation; each FALSE ends it with the dialog open.
  BOOL CreateInstallFolder();
  BOOL CopyListedFiles(CCopyFailures& failures);
  void StartClient();

  CProgressCtrl m_progress;
  CString m_strFolder;
  CString m_strLabel;
  CBrush m_brNull;
  CString m_strBaseFolder;
  CString m_strIniPath;
};
