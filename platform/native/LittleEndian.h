// Little-endian fields of the file formats the stand-in reads, whatever the machine.
#pragma once

#include "win32.h"

namespace native {

inline DWORD ReadU32(const BYTE* p) {
  return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

}  // namespace native
