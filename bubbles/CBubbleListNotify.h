// The change sink embedded in a bubble list: a bubble that reports a change with hint bit 1 is
// moved to the head of the list.
#pragma once

#include "CObject.h"

class CBubbleList;

// Takes the same call, in the same virtual slot, as the sprites' change sink, but derives from
// CObject directly: bubbles build on the framework alone and never share a sink with sprites.
class CBubbleListNotify : public CObject {
 public:
  // The sink belongs to the list that contains it, for the list's whole life.
  explicit CBubbleListNotify(CBubbleList* pList) : m_pList(pList) {}
  ~CBubbleListNotify() override = default;

  // Overridables
  // pSender is the object that changed; the rectangles are ignored here.
  virtual void Change(CObject* pSender, DWORD dwHint, LPCRECT lpRect1, LPCRECT lpRect2);

  CBubbleList* const m_pList;
};
