// Which row of a sprite button's face an owner-draw state shows: a pure rule, so that it is
// tested without a window.
#pragma once

#include "win32.h"

// Rows from the top of the face: 0 normal, 1 pressed, 2 focused, 3 disabled. Pressed wins over
// focused, focused over disabled; a state whose row the face lacks shows row 0.
int SpriteButtonRow(UINT nItemState, int nRows);
