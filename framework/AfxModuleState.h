// What the framework keeps for the whole program: the application's title and its main window.
#pragma once

#include "CString.h"

class CWinApp;

struct AFX_MODULE_STATE {
  CWinApp* m_pCurrentWinApp = nullptr;
  // Caption of the framework's message boxes.
  CString m_strAppName;
  // Owner of the framework's message boxes; null when there is no window.
  HWND m_hWndMain = nullptr;
};

AFX_MODULE_STATE* AfxGetModuleState();
const char* AfxGetAppName();

// The module that holds the application's resources: the program itself.
HINSTANCE AfxGetResourceHandle();
