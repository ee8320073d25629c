// The progress bar's arithmetic while files are copied: each file advances the bar by its share
// of the total size, summed in single precision, so rounding can leave the end just below 100.
#pragma once

#include "win32.h"

// The percentage after one more file of nLength bytes out of fTotal. The share is worked out in
// double precision and the sum stored back in single precision. With nothing to copy (fTotal 0)
// there is no share and the percentage stays.
float AddShare(float fPercent, DWORD nLength, float fTotal);

// The bar position for a percentage: truncated toward zero.
int ProgressPosition(float fPercent);
