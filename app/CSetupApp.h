// The setup program: it runs the setup dialog and ends when the dialog closes.
#pragma once

#include "CWinApp.h"

class CSetupApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
