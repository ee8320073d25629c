// Whether a file is a Windows program the setup's machines run: an MZ header that leads to a PE
// header for x86 or x64. Its bytes come from outside, so every offset is checked before use.
#pragma once

#include <string>

// Empty when it is one; otherwise why not.
std::string WhyNotWindowsProgram(const std::string& path);
