#include "CPreviewApp.h"

#include "CPreviewDlg.h"
#include "PreviewScene.h"

BOOL CPreviewApp::InitInstance() {
  CScene scene;
  CPreviewDlg dlg(&scene, PreviewScenePath());
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

CPreviewApp theApp;
