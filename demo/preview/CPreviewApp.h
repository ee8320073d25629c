// The preview client of the demo media: what the setup starts once it has installed.
#pragma once

#include "CWinApp.h"

class CPreviewApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
