// The native stand-in's resources: what a test puts here, FindResourceA finds, in any module.
#pragma once

#include "win32.h"

#include <vector>

namespace native {

// type: a name ("DIB", compared ignoring case) or MAKEINTRESOURCEA(n). A later resource of the
// same type and id hides an earlier one; the bytes of both stay where they are for the rest of
// the process, as a loaded module's resources do.
void AddResource(LPCSTR type, WORD id, std::vector<BYTE> bytes);

}  // namespace native
