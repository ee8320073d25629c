#include "ArchiveFixtures.h"
#include "CArchiveException.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<LONG> Values(const CObList& list) {
  std::vector<LONG> values;
  for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
    values.push_back(static_cast<const CTestNode*>(list.GetNext(pos))->m_nValue);
  return values;
}

std::vector<LONG> ValuesBackwards(const CObList& list) {
  std::vector<LONG> values;
  for (POSITION pos = list.GetTailPosition(); pos != nullptr;)
    values.push_back(static_cast<const CTestNode*>(list.GetPrev(pos))->m_nValue);
  return values;
}

struct Nodes {
  explicit Nodes(int n) : items(static_cast<size_t>(n)) {
    for (int i = 0; i < n; ++i) items[static_cast<size_t>(i)].m_nValue = i;
  }
  CTestNode* operator[](int i) { return &items[static_cast<size_t>(i)]; }
  std::vector<CTestNode> items;
};

}  // namespace

TEST(CObList, KeepsBothDirectionsConsistentThroughInsertsAndRemovals) {
  Nodes n(5);
  CObList list(2);  // small blocks, so nodes span several of them
  list.AddTail(n[1]);
  list.AddTail(n[3]);
  list.AddHead(n[0]);
  list.InsertBefore(list.Find(n[3]), n[2]);
  list.InsertAfter(list.GetTailPosition(), n[4]);
  EXPECT_EQ(Values(list), (std::vector<LONG>{0, 1, 2, 3, 4}));
  EXPECT_EQ(ValuesBackwards(list), (std::vector<LONG>{4, 3, 2, 1, 0}));

  list.RemoveAt(list.Find(n[0]));  // head
  list.RemoveAt(list.Find(n[4]));  // tail
  list.RemoveAt(list.Find(n[2]));  // middle
  EXPECT_EQ(Values(list), (std::vector<LONG>{1, 3}));
  EXPECT_EQ(ValuesBackwards(list), (std::vector<LONG>{3, 1}));
  EXPECT_EQ(list.GetCount(), 2);

  // Freed nodes are reused.
  list.InsertBefore(list.GetHeadPosition(), n[0]);
  EXPECT_EQ(Values(list), (std::vector<LONG>{0, 1, 3}));
  EXPECT_EQ(list.GetHead(), n[0]);
  EXPECT_EQ(list.GetTail(), n[3]);
}

TEST(CObList, FindsTheFirstOccurrenceFromTheHeadOrAfterAPosition) {
  Nodes n(2);
  CObList list;
  list.AddTail(n[0]);
  list.AddTail(n[1]);
  list.AddTail(n[0]);
  const POSITION first = list.Find(n[0]);
  EXPECT_EQ(first, list.GetHeadPosition());
  EXPECT_EQ(list.Find(n[0], first), list.GetTailPosition());
  EXPECT_EQ(list.Find(n[1], list.Find(n[1])), nullptr);
  EXPECT_EQ(list.Find(nullptr), nullptr);
  EXPECT_EQ(list.FindIndex(1), list.Find(n[1]));
  EXPECT_EQ(list.FindIndex(3), nullptr);
}

TEST(CObList, NeverDeletesWhatItPointsAt) {
  // Stack objects: a delete through the list would be caught by the sanitizers.
  Nodes n(25);
  {
    CObList list;
    for (int i = 0; i < 25; ++i) list.AddTail(n[i]);
    while (list.GetCount() > 10) list.RemoveHead();
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    for (int i = 0; i < 25; ++i) list.AddHead(n[i]);
    EXPECT_EQ(list.GetCount(), 25);
  }
  EXPECT_EQ(n[24]->m_nValue, 24);
}

TEST(CObList, ArchivesItsCountThenEachElementAndAppendsWhenLoading) {
  TempDir dir;
  Nodes n(3);
  CObList list;
  list.AddTail(n[1]);
  list.AddTail(n[2]);
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { list.Serialize(ar); });
  EXPECT_EQ(bytes.substr(0, 2), std::string("\x02\x00", 2));

  CObList into;
  into.AddTail(n[0]);
  LoadBytes(dir, bytes, [&](CArchive& ar) { into.Serialize(ar); });
  ASSERT_EQ(into.GetCount(), 3);
  EXPECT_EQ(Values(into), (std::vector<LONG>{0, 1, 2}));
  POSITION pos = into.GetHeadPosition();
  into.GetNext(pos);
  while (pos != nullptr) delete into.GetNext(pos);
}

TEST(CObList, ArchivesLargeCountsInTheLongForm) {
  TempDir dir;
  CObList list;
  for (int i = 0; i < 0xFFFF; ++i) list.AddTail(nullptr);
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { list.Serialize(ar); });
  EXPECT_EQ(bytes.substr(0, 6), std::string("\xFF\xFF\xFF\xFF\x00\x00", 6));
  CObList into;
  LoadBytes(dir, bytes, [&](CArchive& ar) { into.Serialize(ar); });
  EXPECT_EQ(into.GetCount(), 0xFFFF);
}

// The sanitizers' leak check sees an element the failed load left behind, also one inside a
// list that was an element.
TEST(CObList, ADamagedListArchiveFailsWithoutLeakingItsElements) {
  for (const char* name : {"object-list-damaged-after-its-first-element-leaks-it.ar",
                           "object-list-damaged-after-a-nested-list-leaks-its-elements.ar"}) {
    CFile file((std::string(KV2_TEST_DATA "/archive/bad/") + name).c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    EXPECT_THROW(delete ar.ReadObject(nullptr), CArchiveException) << name;
  }
}
