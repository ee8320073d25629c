#include "SpriteButtonRow.h"

int SpriteButtonRow(UINT nItemState, int nRows) {
  // A pressed button on a one-row face goes on to the focus and disabled rules, which give
  // row 0 there as well.
  if ((nItemState & ODS_SELECTED) && nRows > 1) return 1;
  if (nItemState & ODS_FOCUS) return nRows > 2 ? 2 : 0;
  if (nItemState & ODS_DISABLED) return nRows > 3 ? 3 : 0;
  return 0;
}
