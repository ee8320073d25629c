// Whole files as bytes: read plainly or through the platform's expansion library, and written so
// that a failure never leaves a half-written file in the target's place.
#pragma once

#include "win32.h"

#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

// Reads the whole file; an SZDD-compressed one expanded when `expand` is set (a file that is
// not compressed is read as it is). `compressed` tells which it was. False with a reason.
bool ReadFileBytes(const std::string& path, bool expand, Bytes& bytes, bool& compressed, std::string& error);

// Writes a file of its own beside the target, then puts it in the target's place.
bool WriteFileAtomically(const std::string& path, const Bytes& bytes, std::string& error);
