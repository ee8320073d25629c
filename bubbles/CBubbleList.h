// An ordered list of chat bubbles, head first, whose bubbles report their changes to a sink
// embedded in the list. The list never deletes its bubbles.
#pragma once

#include "CBubbleListNotify.h"
#include "CObList.h"

class CBubble;

class CBubbleList : public CObList {
  DECLARE_SERIAL(CBubbleList)

 public:
  CBubbleList();
  ~CBubbleList() override = default;

  // The list's own archived form; after loading, every element reports to this list's sink,
  // also those that were in the list before. A load that fails leaves the list as it was.
  void Serialize(CArchive& ar) override;

  // Operations
  // Puts the bubble at the head, whether or not it is already in the list. Always 1.
  int Add(CBubble* pBubble);
  // Takes out the occurrence nearest the head; the bubble, or null when it was not in the list.
  CBubble* Remove(CBubble* pBubble);
  // Moves a bubble of the list to its head; one not in the list stays out of it.
  void Reinsert(CBubble* pBubble);

  CBubbleListNotify m_notify;

 private:
  void PointAtSink();
};
