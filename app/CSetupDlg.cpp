#include "CSetupDlg.h"

#include "AfxMessageBox.h"
#include "CDataExchange.h"
#include "ProposedFolder.h"
#include "SetupGlobals.h"
#include "resource.h"

const CSetupDlg::MessageTable CSetupDlg::messages = {
    &CDialog::messages,
    {
        OnNotify<EN_CHANGE>(IDC_FOLDER, &CSetupDlg::OnChangeFolder),
        OnMessage<WM_INSTALL>(&CSetupDlg::OnInstall),
    }};

namespace {

// The profile value is read into a buffer of this many characters, its terminator included.
constexpr int kProfileBuffer = 256;

constexpr UINT kLayoutFlags = SWP_NOZORDER | SWP_NOACTIVATE;

}  // namespace

CSetupDlg::CSetupDlg(CWnd* pParent) : CDialog(IDD_SETUP, pParent) {}

void CSetupDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_PROGRESS, m_progress);
  DDX_Text(pDX, IDC_FOLDER, m_strFolder);
  DDX_Text(pDX, IDC_LABEL, m_strLabel);
}

BOOL CSetupDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_strLabel = "Setup will install Korvi 2 to...";
  LayOutControls();
  m_brNull.Attach(GetStockObject(NULL_BRUSH));
  if (!ProposeFolder()) return FALSE;
  UpdateData(FALSE);
  m_progress.ShowWindow(SW_HIDE);
  return TRUE;
}

void CSetupDlg::LayOutControls() {
  GetDlgItem(IDC_FOLDER)->SetWindowPos(nullptr, g_rcEdit.left, g_rcEdit.top, g_rcEdit.Width(), g_rcEdit.Height(),
                                       kLayoutFlags);
  GetDlgItem(IDC_LABEL)->SetWindowPos(nullptr, g_rcLabel.left, g_rcLabel.top, g_rcLabel.Width(), g_rcLabel.Height(),
                                      kLayoutFlags);
  // Half as tall as the folder box, 5 pixels below it.
  GetDlgItem(IDC_PROGRESS)->SetWindowPos(nullptr, g_rcEdit.left, g_rcEdit.top + 25, g_rcEdit.Width(),
                                         g_rcEdit.Height() - 10, kLayoutFlags);
}

BOOL CSetupDlg::ProposeFolder() {
  const DWORD nRead =
      GetProfileStringA("KORWIN", "INI", nullptr, m_strIniPath.GetBuffer(kProfileBuffer - 1), kProfileBuffer);
  m_strIniPath.ReleaseBuffer(static_cast<int>(nRead));
  m_strBaseFolder = BaseFolder(m_strIniPath);
  if (FolderBeside(m_strBaseFolder, m_strFolder)) return TRUE;
  AfxMessageBox(m_strBaseFolder, MB_OK);
  PostQuitMessage(-1);
  return FALSE;
}

void CSetupDlg::OnChangeFolder() { UpdateData(TRUE); }

void CSetupDlg::OnOK() {
  m_strLabel = "Installing Korvi 2 ...";
  // Hidden while its text changes, the label is redrawn on a clean background.
  CWnd* pLabel = GetDlgItem(IDC_LABEL);
  pLabel->ShowWindow(SW_HIDE);
  UpdateData(FALSE);
  pLabel->ShowWindow(SW_SHOW);
  pLabel->UpdateWindow();
  PostMessage(WM_INSTALL);
}
