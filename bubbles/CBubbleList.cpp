#include "CBubbleList.h"

#include "CArchive.h"
#include "CBubble.h"

IMPLEMENT_SERIAL(CBubbleList, CObList, 0)

CBubbleList::CBubbleList() : CObList(10), m_notify(this) {}

void CBubbleList::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    CObList::Serialize(ar);
    return;
  }
  // The list's own form, but every element read must be a bubble: anything else is a damaged
  // archive, not an element whose sink pointer could be set.
  LoadElements(ar, RUNTIME_CLASS(CBubble));
  PointAtSink();
}

void CBubbleList::PointAtSink() {
  for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
    // The plain list operations may have put in a null or something else; only bubbles report.
    if (auto* pBubble = dynamic_cast<CBubble*>(GetNext(pos))) pBubble->m_pNotify = &m_notify;
  }
}

int CBubbleList::Add(CBubble* pBubble) {
  pBubble->m_pNotify = &m_notify;
  AddHead(pBubble);
  return 1;
}

CBubble* CBubbleList::Remove(CBubble* pBubble) {
  const POSITION pos = Find(pBubble);
  if (pos == nullptr) return nullptr;
  RemoveAt(pos);
  return pBubble;
}

void CBubbleList::Reinsert(CBubble* pBubble) {
  if (Remove(pBubble) != nullptr) Add(pBubble);
}
