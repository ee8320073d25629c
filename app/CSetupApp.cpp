#include "CSetupApp.h"

#include "CSetupDlg.h"

BOOL CSetupApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();

  CSetupDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}
