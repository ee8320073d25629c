#include "CWinApp.h"

#include "AfxCallGuarded.h"
#include "AfxModuleState.h"

IMPLEMENT_DYNAMIC(CWinApp, CObject)

namespace {

CString ExecutableBaseName() {
  char szPath[MAX_PATH];
  const CString strPath(szPath, static_cast<int>(GetModuleFileNameA(nullptr, szPath, MAX_PATH)));
  CString strName = strPath.Mid(strPath.ReverseFind('\\') + 1);
  const int nDot = strName.ReverseFind('.');
  return nDot > 0 ? strName.Left(nDot) : strName;
}

// The exit code a WM_QUIT asked for, or 0.
int QuitCode() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? static_cast<int>(msg.wParam) : 0;
}

}  // namespace

CWinApp::CWinApp(const char* pszAppName) {
  AFX_MODULE_STATE* pState = AfxGetModuleState();
  pState->m_pCurrentWinApp = this;
  pState->m_strAppName = pszAppName != nullptr ? CString(pszAppName) : ExecutableBaseName();
}

CWinApp::~CWinApp() {
  AFX_MODULE_STATE* pState = AfxGetModuleState();
  if (pState->m_pCurrentWinApp == this) pState->m_pCurrentWinApp = nullptr;
}

CWinApp* AfxGetApp() { return AfxGetModuleState()->m_pCurrentWinApp; }

CWnd* AfxGetMainWnd() {
  const CWinApp* pApp = AfxGetApp();
  return pApp != nullptr ? pApp->m_pMainWnd : nullptr;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return -1;
  AfxCallGuarded([&] { return LRESULT(pApp->InitInstance()); }, FALSE);
  return QuitCode();
}
