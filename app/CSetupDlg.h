// The setup dialog: it proposes an install folder, lets the user change it and, on OK, installs
// the listed files into it. Its face is the skin: a background bitmap in its own palette and two
// bitmap buttons, from the image archive K2Login in the current directory.
#pragma once

#include "CBrush.h"
#include "CDIB.h"
#include "CDIBPalette.h"
#include "CDialog.h"
#include "CProgressCtrl.h"
#include "CSpriteButton.h"

#include <memory>

class CCopyFailures;

// Posted to itself by OK; the install runs when the dialog's loop takes it.
constexpr UINT WM_INSTALL = WM_USER + 200;

class CSetupDlg : public CDialog {
 public:
  // Loads the skin; without its background the dialog shows as its template describes.
  explicit CSetupDlg(CWnd* pParent = nullptr);
  ~CSetupDlg() override;

  const MessageTable& GetMessageTable() const override { return messages; }
  static const MessageTable messages;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // Starts the installation; the dialog stays open.
  void OnOK() override;

  void OnChangeFolder();
  LRESULT OnInstall(WPARAM wParam, LPARAM lParam);

  // The skin's handlers: the face is drawn when the background is erased, in the dialog's
  // palette; the window keeps the bitmap's size; the label lies on the bitmap.
  BOOL OnEraseBkgnd(CDC* pDC);
  BOOL OnQueryNewPalette();
  void OnPaletteChanged(CWnd* pFocusWnd);
  void OnSize(UINT nType, int cx, int cy);
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

 private:
  void LoadSkin();
  void PlaceButtons();
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
  std::unique_ptr<CDIB> m_pBackground;
  std::unique_ptr<CDIBPalette> m_pPalette;
  CSpriteButton m_btnOK;
  CSpriteButton m_btnCancel;
  CString m_strBaseFolder;
  CString m_strIniPath;
};
