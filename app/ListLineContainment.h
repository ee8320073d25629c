// Where a line of the list file may install to. The setup runs elevated, so a line is trusted
// only when the install folder plus the line, with its "." and ".." resolved, names a file
// inside the folder; the links it may lead through are judged on the disk as it copies
// (CInstallFolder).
#pragma once

#include "win32.h"

#include <string_view>

// Judged from the line alone, as the platform reads a path: backslash and slash separate, a
// component of dots and spaces other than "." and ".." is trimmed by the platform into something
// else, a colon names a drive or a stream, and a device name (CON, NUL, COM1, ...) is a device in
// every folder. Any of these, a line that is rooted or one that climbs above the folder at any
// point, or one that names the folder itself, is refused. The line is walked by the characters
// of the code page it is written in.
BOOL StaysInFolder(const char* pszLine, UINT nCodePage = CP_ACP);

// Whether a component of a path names one of the platform's devices (CON, NUL, COM1, ...,
// COM and LPT with a superscript 1, 2 or 3 where the code page spells one), which answer to
// their names in every folder, with any extension.
BOOL IsDeviceName(std::string_view component, UINT nCodePage = CP_ACP);
