// A doubly linked list of object pointers. Nodes come from blocks of a fixed size; the list
// never deletes the objects it points at.
#pragma once

#include "CObject.h"

#include <set>

struct __POSITION {};
using POSITION = __POSITION*;

class CObList : public CObject {
  DECLARE_SERIAL(CObList)

 public:
  explicit CObList(int nBlockSize = 10);
  ~CObList() override;

  // Attributes
  int GetCount() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }
  CObject*& GetHead();
  CObject*& GetTail();

  // Operations
  POSITION AddHead(CObject* newElement);
  POSITION AddTail(CObject* newElement);
  CObject* RemoveHead();
  CObject* RemoveTail();
  void RemoveAll();

  // Iteration: GetNext returns the element at rPosition and moves it on (null after the tail).
  POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
  POSITION GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }
  CObject*& GetNext(POSITION& rPosition);
  CObject* GetNext(POSITION& rPosition) const;
  CObject*& GetPrev(POSITION& rPosition);
  CObject* GetPrev(POSITION& rPosition) const;
  CObject*& GetAt(POSITION position);
  CObject* GetAt(POSITION position) const;
  void SetAt(POSITION pos, CObject* newElement);
  void RemoveAt(POSITION position);
  POSITION InsertBefore(POSITION position, CObject* newElement);
  POSITION InsertAfter(POSITION position, CObject* newElement);

  // The first occurrence after startAfter (from the head when null); null when absent.
  POSITION Find(CObject* searchValue, POSITION startAfter = nullptr) const;
  POSITION FindIndex(int nIndex) const;

  // The count, then each element as an archived object; loading appends at the tail.
  void Serialize(CArchive& ar) override;

 protected:
  // Reads the count and that many objects of pClass (any class when null) onto the tail. When
  // the archive fails, the elements it added come out again, and the objects first read by this
  // load, which nobody else holds, are deleted, with those of the lists among them; the list
  // never owns its elements otherwise.
  void LoadElements(CArchive& ar, const CRuntimeClass* pClass);

 private:
  // pOb and, when it is a list, its elements and theirs, as far as this load read them first.
  static void CollectLoaded(const CArchive& ar, DWORD mark, CObject* pOb, std::set<CObject*>& loaded);

  struct CNode {
    CNode* pNext;
    CNode* pPrev;
    CObject* data;
  };

  CNode* NewNode(CNode* pPrev, CNode* pNext);
  void FreeNode(CNode* pNode);
  static CNode* Node(POSITION position) { return reinterpret_cast<CNode*>(position); }

  CNode* m_pNodeHead = nullptr;
  CNode* m_pNodeTail = nullptr;
  int m_nCount = 0;
  CNode* m_pNodeFree = nullptr;
  void* m_pBlocks = nullptr;  // chain of node blocks; each starts with the link to the next
  int m_nBlockSize;
};
