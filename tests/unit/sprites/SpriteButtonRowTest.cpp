// The row of a sprite button's face that each owner-draw state shows, for faces of one to
// four rows.
#include "SpriteButtonRow.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT S = ODS_SELECTED;
constexpr UINT F = ODS_FOCUS;
constexpr UINT D = ODS_DISABLED;

}  // namespace

TEST(SpriteButtonRow, PressedBeforeFocusedBeforeDisabledAndRowZeroForWhatTheFaceLacks) {
  const struct {
    UINT nState;
    int rows[4];  // the row shown by a face of 1, 2, 3 and 4 rows
  } cases[] = {
      {0, {0, 0, 0, 0}},
      {S, {0, 1, 1, 1}},
      {F, {0, 0, 2, 2}},
      {D, {0, 0, 0, 3}},
      {S | F, {0, 1, 1, 1}},
      {S | D, {0, 1, 1, 1}},
      {F | D, {0, 0, 2, 2}},
      {S | F | D, {0, 1, 1, 1}},
      // States a button never reads.
      {ODS_CHECKED | ODS_GRAYED, {0, 0, 0, 0}},
      {ODS_CHECKED | D, {0, 0, 0, 3}},
  };
  for (const auto& c : cases)
    for (int nRows = 1; nRows <= 4; ++nRows)
      EXPECT_EQ(SpriteButtonRow(c.nState, nRows), c.rows[nRows - 1]) << "state " << c.nState << ", " << nRows << " rows";
  // More rows than states change nothing.
  EXPECT_EQ(SpriteButtonRow(D, 7), 3);
  EXPECT_EQ(SpriteButtonRow(S, 7), 1);
}
