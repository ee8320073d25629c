#include "CPreviewApp.h"

#include "CPreviewDlg.h"

BOOL CPreviewApp::InitInstance() {
  CPreviewDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

CPreviewApp theApp;
