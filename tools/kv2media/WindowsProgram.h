// Whether a file is a Windows program the setup's machines run: an MZ header that leads to a PE
// header for x86 or x64. Its bytes come from outside, so every offset is checked before use.
#pragma once

#include <cstdint>
#include <string>

// Empty when it is one; otherwise why not.
std::string WhyNotWindowsProgram(const std::string& path);

// The machine type its PE header names; 0 where it has none.
std::uint16_t MachineType(const std::string& path);

// Whether a Windows program carries a signature: its certificate table names bytes within the
// file. The signature itself is the signing tool's to verify.
bool IsSigned(const std::string& path);

// Whether a file of this name is a Windows program the publisher signs: an .exe or a .dll.
bool IsProgramName(const std::string& name);
