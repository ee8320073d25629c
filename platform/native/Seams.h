// Where a native test answers what a user would answer on Windows.
#pragma once

#include "win32.h"

#include <functional>
#include <optional>
#include <string>

namespace native {

// Answers MessageBoxA. Without one, a message box is written to standard error and answered
// with its first button (IDOK for MB_OK and MB_OKCANCEL).
using MessageBoxHandler = std::function<int(HWND owner, LPCSTR text, LPCSTR caption, UINT type)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

// Answers GetOpenFileNameA (save FALSE) and GetSaveFileNameA (save TRUE): the path the user
// would choose, or no value for Cancel. Without one, every file dialog is cancelled. The
// structure is filled from the answer as Windows fills it: the path, its name and extension
// offsets, the file title, the default extension when the name has none.
using FileDialogHandler = std::function<std::optional<std::string>(BOOL save, const OPENFILENAMEA& ofn)>;
void SetFileDialogHandler(FileDialogHandler handler);

}  // namespace native
