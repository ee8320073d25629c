// The setup program's global objects, all defined in SetupGlobals.cpp.
#pragma once

#include "CRect.h"

// Where the folder box (and, below it, the progress bar) and the label go, in the dialog's
// client pixels.
extern const CRect g_rcEdit;
extern const CRect g_rcLabel;
