// The application object: one global instance per program. The framework's entry point calls
// its InitInstance; the programs here run their one window modally from there, so the process
// ends when InitInstance returns.
#pragma once

#include "CObject.h"

class CWnd;

class CWinApp : public CObject {
  DECLARE_DYNAMIC(CWinApp)

 public:
  // With no name, the framework's title is the executable's base name.
  explicit CWinApp(const char* pszAppName = nullptr);
  ~CWinApp() override;

  // Overridables
  virtual BOOL InitInstance() = 0;

  // Operations
  // Three-dimensional controls are the platform's own drawing now (and its visual styles where
  // the user has them), so there is nothing left to switch on.
  BOOL Enable3dControls() { return TRUE; }

  // The window whose handle owns the framework's message boxes.
  CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// No template here holds an ActiveX control, so dialogs need no control container: the platform's
// dialog manager hosts every control they have.
inline BOOL AfxEnableControlContainer() { return TRUE; }
