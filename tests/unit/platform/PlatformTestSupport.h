// Helpers shared by the platform tests: fixtures, files opened the Win32 way, expansion.
#pragma once

#include "win32.h"

#include <string>

// The path of a fixture under tests/data, in a form both platforms open.
std::string FixturePath(const std::string& relative);
std::string ReadFixture(const std::string& relative);

// Opens an existing file for reading, sharing it as the loaders do; INVALID_HANDLE_VALUE if not.
HANDLE OpenForReading(const std::string& path);
// A second handle on the same file, for an expansion state to own and close.
HANDLE Duplicate(HANDLE file);
// The file number the expansion library takes for a handle.
inline INT FileNumber(HANDLE file) { return static_cast<INT>(reinterpret_cast<INT_PTR>(file)); }
inline bool IsOpen(HANDLE file) { return GetFileSize(file, nullptr) != INVALID_FILE_SIZE; }

// Whether the platform DLLs under test are Wine's, where a few results differ from Windows'.
bool RunningUnderWine();

// Everything LZRead gives from the current position on, up to a sanity limit.
std::string ReadToEnd(INT lz);
