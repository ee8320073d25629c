// A modal message box owned by the main window and captioned with the application's title.
#pragma once

#include "win32.h"

int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
