#include "CObList.h"

#include "CArchive.h"

#include <cstdlib>
#include <new>
#include <set>

IMPLEMENT_SERIAL(CObList, CObject, 0)

CObList::CObList(int nBlockSize) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}

CObList::~CObList() { RemoveAll(); }

CObList::CNode* CObList::NewNode(CNode* pPrev, CNode* pNext) {
  if (m_pNodeFree == nullptr) {
    // A block is a link to the previous block followed by m_nBlockSize nodes.
    void* block = std::malloc(sizeof(void*) + sizeof(CNode) * static_cast<size_t>(m_nBlockSize));
    if (block == nullptr) throw std::bad_alloc();
    *static_cast<void**>(block) = m_pBlocks;
    m_pBlocks = block;
    CNode* nodes = reinterpret_cast<CNode*>(static_cast<void**>(block) + 1);
    for (int i = m_nBlockSize - 1; i >= 0; --i) {
      nodes[i].pNext = m_pNodeFree;
      m_pNodeFree = &nodes[i];
    }
  }
  CNode* pNode = m_pNodeFree;
  m_pNodeFree = m_pNodeFree->pNext;
  pNode->pPrev = pPrev;
  pNode->pNext = pNext;
  pNode->data = nullptr;
  ++m_nCount;
  return pNode;
}

void CObList::FreeNode(CNode* pNode) {
  pNode->pNext = m_pNodeFree;
  m_pNodeFree = pNode;
  // The last element gone, the blocks go too.
  if (--m_nCount == 0) RemoveAll();
}

void CObList::RemoveAll() {
  m_nCount = 0;
  m_pNodeHead = m_pNodeTail = m_pNodeFree = nullptr;
  while (m_pBlocks != nullptr) {
    void* next = *static_cast<void**>(m_pBlocks);
    std::free(m_pBlocks);
    m_pBlocks = next;
  }
}

CObject*& CObList::GetHead() { return m_pNodeHead->data; }
CObject*& CObList::GetTail() { return m_pNodeTail->data; }

POSITION CObList::AddHead(CObject* newElement) {
  CNode* pNewNode = NewNode(nullptr, m_pNodeHead);
  pNewNode->data = newElement;
  if (m_pNodeHead != nullptr)
    m_pNodeHead->pPrev = pNewNode;
  else
    m_pNodeTail = pNewNode;
  m_pNodeHead = pNewNode;
  return reinterpret_cast<POSITION>(pNewNode);
}

POSITION CObList::AddTail(CObject* newElement) {
  CNode* pNewNode = NewNode(m_pNodeTail, nullptr);
  pNewNode->data = newElement;
  if (m_pNodeTail != nullptr)
    m_pNodeTail->pNext = pNewNode;
  else
    m_pNodeHead = pNewNode;
  m_pNodeTail = pNewNode;
  return reinterpret_cast<POSITION>(pNewNode);
}

CObject* CObList::RemoveHead() {
  CObject* data = m_pNodeHead->data;
  RemoveAt(GetHeadPosition());
  return data;
}

CObject* CObList::RemoveTail() {
  CObject* data = m_pNodeTail->data;
  RemoveAt(GetTailPosition());
  return data;
}

CObject*& CObList::GetNext(POSITION& rPosition) {
  CNode* pNode = Node(rPosition);
  rPosition = reinterpret_cast<POSITION>(pNode->pNext);
  return pNode->data;
}

CObject* CObList::GetNext(POSITION& rPosition) const {
  const CNode* pNode = Node(rPosition);
  rPosition = reinterpret_cast<POSITION>(pNode->pNext);
  return pNode->data;
}

CObject*& CObList::GetPrev(POSITION& rPosition) {
  CNode* pNode = Node(rPosition);
  rPosition = reinterpret_cast<POSITION>(pNode->pPrev);
  return pNode->data;
}

CObject* CObList::GetPrev(POSITION& rPosition) const {
  const CNode* pNode = Node(rPosition);
  rPosition = reinterpret_cast<POSITION>(pNode->pPrev);
  return pNode->data;
}

CObject*& CObList::GetAt(POSITION position) { return Node(position)->data; }
CObject* CObList::GetAt(POSITION position) const { return Node(position)->data; }
void CObList::SetAt(POSITION pos, CObject* newElement) { Node(pos)->data = newElement; }

void CObList::RemoveAt(POSITION position) {
  CNode* pOldNode = Node(position);
  if (pOldNode == m_pNodeHead)
    m_pNodeHead = pOldNode->pNext;
  else
    pOldNode->pPrev->pNext = pOldNode->pNext;
  if (pOldNode == m_pNodeTail)
    m_pNodeTail = pOldNode->pPrev;
  else
    pOldNode->pNext->pPrev = pOldNode->pPrev;
  FreeNode(pOldNode);
}

POSITION CObList::InsertBefore(POSITION position, CObject* newElement) {
  if (position == nullptr) return AddHead(newElement);
  CNode* pOldNode = Node(position);
  CNode* pNewNode = NewNode(pOldNode->pPrev, pOldNode);
  pNewNode->data = newElement;
  if (pOldNode->pPrev != nullptr)
    pOldNode->pPrev->pNext = pNewNode;
  else
    m_pNodeHead = pNewNode;
  pOldNode->pPrev = pNewNode;
  return reinterpret_cast<POSITION>(pNewNode);
}

POSITION CObList::InsertAfter(POSITION position, CObject* newElement) {
  if (position == nullptr) return AddTail(newElement);
  CNode* pOldNode = Node(position);
  CNode* pNewNode = NewNode(pOldNode, pOldNode->pNext);
  pNewNode->data = newElement;
  if (pOldNode->pNext != nullptr)
    pOldNode->pNext->pPrev = pNewNode;
  else
    m_pNodeTail = pNewNode;
  pOldNode->pNext = pNewNode;
  return reinterpret_cast<POSITION>(pNewNode);
}

POSITION CObList::Find(CObject* searchValue, POSITION startAfter) const {
  const CNode* pNode = startAfter == nullptr ? m_pNodeHead : Node(startAfter)->pNext;
  for (; pNode != nullptr; pNode = pNode->pNext)
    if (pNode->data == searchValue) return reinterpret_cast<POSITION>(const_cast<CNode*>(pNode));
  return nullptr;
}

POSITION CObList::FindIndex(int nIndex) const {
  if (nIndex < 0 || nIndex >= m_nCount) return nullptr;
  const CNode* pNode = m_pNodeHead;
  while (nIndex--) pNode = pNode->pNext;
  return reinterpret_cast<POSITION>(const_cast<CNode*>(pNode));
}

void CObList::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD>(m_nCount));
    for (const CNode* pNode = m_pNodeHead; pNode != nullptr; pNode = pNode->pNext) ar << pNode->data;
  } else {
    LoadElements(ar, nullptr);
  }
}

void CObList::LoadElements(CArchive& ar, const CRuntimeClass* pClass) {
  const DWORD mark = ar.GetLoadMark();
  DWORD nAdded = 0;
  try {
    // Each element is read before its node is taken, so a damaged archive adds nothing half-made.
    for (DWORD nNewCount = ar.ReadCount(); nNewCount > 0; --nNewCount, ++nAdded) AddTail(ar.ReadObject(pClass));
  } catch (...) {
    std::set<CObject*> dropped;
    for (; nAdded > 0; --nAdded) CollectLoaded(ar, mark, RemoveTail(), dropped);
    for (CObject* pOb : dropped) delete pOb;
    throw;
  }
}

void CObList::CollectLoaded(const CArchive& ar, DWORD mark, CObject* pOb, std::set<CObject*>& loaded) {
  // A list may hold itself or an object twice; what was there before the load is not touched.
  if (pOb == nullptr || !ar.IsLoadedSince(mark, pOb) || !loaded.insert(pOb).second) return;
  if (!pOb->IsKindOf(RUNTIME_CLASS(CObList))) return;
  const auto* pList = static_cast<const CObList*>(pOb);
  for (const CNode* pNode = pList->m_pNodeHead; pNode != nullptr; pNode = pNode->pNext)
    CollectLoaded(ar, mark, pNode->data, loaded);
}
