// One chat speech bubble: a text with a rectangle, a few numeric settings, a colour value and a
// background brush. Archives create it by class name.
#pragma once

#include "CBrush.h"
#include "CObject.h"
#include "CRect.h"
#include "CSize.h"
#include "CString.h"

class CBubbleListNotify;

class CBubble : public CObject {
  DECLARE_SERIAL(CBubble)

 public:
  CBubble();
  ~CBubble() override = default;

  // Stores or loads, in this order: m_dwValue, m_rcFirst, m_strText, m_sizePair, m_nNumber,
  // m_crColor. Nothing else is archived; loading changes nothing else.
  void Serialize(CArchive& ar) override;

  // Fields in their declared order. Only the text, the sink and the brush have a known use
  // here; the others are kept and archived for whoever draws bubbles.
  DWORD m_dwValue = 0;
  CRect m_rcFirst;
  BYTE m_abData[16] = {};
  CRect m_rcSecond;
  CString m_strText;
  // The sink of the list that last took the bubble; borrowed, and left as it is when the
  // bubble leaves the list.
  CBubbleListNotify* m_pNotify = nullptr;
  CSize m_sizePair{12, 12};
  int m_nNumber = 100;
  COLORREF m_crColor = 0x02000000;  // palette-relative black
  CBrush m_brBackground;
  DWORD m_adwWords[3] = {};
};
