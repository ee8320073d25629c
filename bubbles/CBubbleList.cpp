#include "CBubbleList.h"

#include "CArchive.h"
#include "CBubble.h"

#include <set>

IMPLEMENT_SERIAL(CBubbleList, CObList, 0)

CBubbleList::CBubbleList() : CObList(10), m_notify(this) {}

void CBubbleList::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    CObList::Serialize(ar);
    return;
  }
  // The list's own form, but every element read must be a bubble: anything else is a damaged
  // archive, not an element whose sink pointer could be set.
  const DWORD mark = ar.GetLoadMark();
  DWORD nAdded = 0;
  try {
    for (DWORD nNewCount = ar.ReadCount(); nNewCount > 0; --nNewCount, ++nAdded)
      AddTail(ar.ReadObject(RUNTIME_CLASS(CBubble)));
  } catch (...) {
    DropLoaded(ar, mark, nAdded);
    throw;
  }
  PointAtSink();
}

void CBubbleList::DropLoaded(const CArchive& ar, DWORD nMark, DWORD nAdded) {
  // Bubbles first read by this load were handed to this list alone; those read before it, and
  // the list's earlier elements, belong to others.
  std::set<CObject*> dropped;
  for (; nAdded > 0; --nAdded) {
    CObject* pOb = RemoveTail();
    if (pOb != nullptr && ar.IsLoadedSince(nMark, pOb)) dropped.insert(pOb);
  }
  for (CObject* pOb : dropped) delete pOb;
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
