// A window that paints in a palette of its own takes the system's colours for it: the answer to
// WM_QUERYNEWPALETTE, and to WM_PALETTECHANGED when another window changed them.
#pragma once

#include "CPalette.h"
#include "CWnd.h"

// Realises the palette as the window's foreground palette and has the whole window repainted.
// FALSE, and nothing done, without a palette.
BOOL AfxRealizePalette(CWnd* pWnd, CPalette* pPalette);
