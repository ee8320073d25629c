// CSpriteButton: an owner-drawn push button whose face is a CPhasedSprite, its looks stacked
// as rows of equal height. It sizes itself to one cell, draws the row of its state (see
// SpriteButtonRow) in the palette it is lent, and leaves the mouse pointer's shape alone.
//
// The control must have BS_OWNERDRAW; the owner loads the face, sets m_pPalette, subclasses
// the control and places it with MoveTo.
#pragma once

#include "CButton.h"
#include "CPhasedSprite.h"

class CSpriteButton : public CButton {
 public:
  CSpriteButton() = default;
  // Deletes the face; the palette is its owner's.
  ~CSpriteButton() override;

  // Operations
  // Replaces the face with the picture of nRows rows (an archive member or a file, 8 bits per
  // pixel). A failure leaves no face, old or new, after the message "Failed to load Button DIB
  // file". A picture less than nRows pixels high keeps one row.
  BOOL Load(const CString& strName, int nRows);
  // Moves the control to (x, y) of its parent's client area and sizes it to one cell, without
  // redrawing it; FALSE without a face.
  BOOL MoveTo(int x, int y);

  // Overridables
  // The face's row for the item's state, opaque and unscaled at the item's top-left corner.
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

  const MessageTable& GetMessageTable() const override { return messages; }
  static const MessageTable messages;

  CPhasedSprite* m_pSprite = nullptr;  // owned
  CPalette* m_pPalette = nullptr;      // borrowed; null draws in whatever palette the DC holds

 protected:
  // Answered here, so neither the parent nor the window class sets a cursor over the button.
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
};
