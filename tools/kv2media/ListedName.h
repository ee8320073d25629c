// Whether a name, as a line of the list file, installs as its author meant: the setup's own
// containment rule, and what the platform would make of the name besides.
#pragma once

#include "CodePage.h"

#include <string>

// Empty when the setup copies the file under this very name into the install folder; otherwise
// why not. The name is in the code page's bytes, as the setup reads the line.
std::string WhyNotInstallable(const std::string& strName, const CodePage& codePage);
