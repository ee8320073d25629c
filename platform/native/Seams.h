// Where a native test answers what a user would answer on Windows.
#pragma once

#include "win32.h"

#include <functional>

namespace native {

// Answers MessageBoxA. Without one, a message box is written to standard error and answered
// with its first button (IDOK for MB_OK and MB_OKCANCEL).
using MessageBoxHandler = std::function<int(HWND owner, LPCSTR text, LPCSTR caption, UINT type)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace native
