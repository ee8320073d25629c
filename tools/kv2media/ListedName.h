// Whether a name, as a line of the list file, installs as its author meant: the setup's own
// containment rule, and what the platform would make of the name besides.
#pragma once

#include "CodePage.h"

#include <string>

// Why a blank line fails: the setup cannot open a file of no name, and stops there.
constexpr char kEmptyNameProblem[] = "an empty name: the setup stops the install at it with an error report";

// Empty when the setup copies the file under this very name into the install folder; otherwise
// why not. The name is in the code page's bytes, as the setup reads the line.
std::string WhyNotInstallable(const std::string& strName, const CodePage& codePage);
