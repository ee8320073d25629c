#include "AfxInitPriority.h"
#include "AfxMessageBox.h"
#include "AfxModuleState.h"

AFX_MODULE_STATE afxModuleState AFX_INIT_ORDER(AFX_INIT_MODULE_STATE);

AFX_MODULE_STATE* AfxGetModuleState() { return &afxModuleState; }

const char* AfxGetAppName() { return afxModuleState.m_strAppName; }

int AfxMessageBox(const char* lpszText, UINT nType, UINT) {
  return ::MessageBoxA(afxModuleState.m_hWndMain, lpszText, AfxGetAppName(), nType);
}
