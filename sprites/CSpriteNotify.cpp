#include "CSpriteNotify.h"

void CSpriteNotify::Change(CObject*, DWORD, LPCRECT, LPCRECT) {}
