// The preview client of the demo media, what the setup starts once it has installed: a window
// on the scene that lies beside it. Without a scene it says why and ends.
#pragma once

#include "CWinApp.h"

class CPreviewApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
