#include "CBubble.h"

#include "CArchive.h"

IMPLEMENT_SERIAL(CBubble, CObject, 0)

namespace {

// Pale cream, matched against the selected palette rather than dithered.
constexpr COLORREF BUBBLE_BACKGROUND = 0x02BFEFFF;

}  // namespace

CBubble::CBubble() {
  // Without a brush the bubble stays usable; it just has no background to paint with.
  m_brBackground.CreateSolidBrush(BUBBLE_BACKGROUND);
}

void CBubble::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_dwValue << m_rcFirst.left << m_rcFirst.top << m_rcFirst.right << m_rcFirst.bottom << m_strText
       << m_sizePair.cx << m_sizePair.cy << m_nNumber << m_crColor;
    return;
  }
  // Read everything before taking any of it, so that a short archive leaves the bubble as it was.
  DWORD dwValue = 0;
  CRect rcFirst;
  CString strText;
  CSize sizePair;
  int nNumber = 0;
  COLORREF crColor = 0;
  ar >> dwValue >> rcFirst.left >> rcFirst.top >> rcFirst.right >> rcFirst.bottom >> strText >> sizePair.cx >>
      sizePair.cy >> nNumber >> crColor;
  m_dwValue = dwValue;
  m_rcFirst = rcFirst;
  m_strText = strText;
  m_sizePair = sizePair;
  m_nNumber = nNumber;
  m_crColor = crColor;
}
