#include "CArchiveException.h"
#include "CBubble.h"
#include "CBubbleList.h"
#include "framework/ArchiveFixtures.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<const CObject*> Elements(const CBubbleList& list) {
  std::vector<const CObject*> elements;
  for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) elements.push_back(list.GetNext(pos));
  return elements;
}

// Three bubbles A, B, C added in that order: the list reads C, B, A.
struct ListOfThree {
  ListOfThree() {
    for (CBubble* p : {&a, &b, &c}) list.Add(p);
  }
  CBubble a, b, c;
  CBubbleList list;
};

}  // namespace

TEST(CBubbleList, IsACreatableRuntimeClassOfSchemaZero) {
  const std::unique_ptr<CObject> pOb = CreateRegistered("CBubbleList", RUNTIME_CLASS(CBubbleList), RUNTIME_CLASS(CObList));
  auto* pList = dynamic_cast<CBubbleList*>(pOb.get());
  ASSERT_NE(pList, nullptr);
  EXPECT_TRUE(pList->IsEmpty());
  EXPECT_EQ(pList->m_notify.m_pList, pList);
}

TEST(CBubbleList, AddPutsEachBubbleAtTheHeadAndPointsItAtTheSink) {
  CBubble a, b, c;
  CBubbleList list;
  for (CBubble* p : {&a, &b, &c}) EXPECT_EQ(list.Add(p), 1);
  EXPECT_EQ(Elements(list), (std::vector<const CObject*>{&c, &b, &a}));
  for (CBubble* p : {&a, &b, &c}) EXPECT_EQ(p->m_pNotify, &list.m_notify);
}

TEST(CBubbleList, SinkMovesTheSenderToTheHeadOnHintBitOneOnly) {
  struct Case {
    DWORD dwHint;
    bool bMoves;
  };
  for (const Case& k : {Case{1, true}, Case{2, false}, Case{3, true}, Case{4, false}, Case{0, false},
                        Case{0x80000001, true}}) {
    ListOfThree t;
    const CRect rc(0, 0, 10, 10);
    t.list.m_notify.Change(&t.b, k.dwHint, &rc, nullptr);
    const auto expected = k.bMoves ? std::vector<const CObject*>{&t.b, &t.c, &t.a}
                                   : std::vector<const CObject*>{&t.c, &t.b, &t.a};
    EXPECT_EQ(Elements(t.list), expected) << "hint " << k.dwHint;
  }
}

TEST(CBubbleList, SinkLeavesOutWhatIsNotInTheList) {
  ListOfThree t;
  CBubble stranger;
  CBubbleList other;
  t.list.m_notify.Change(&stranger, 1, nullptr, nullptr);
  t.list.m_notify.Change(&other, 1, nullptr, nullptr);
  EXPECT_EQ(Elements(t.list), (std::vector<const CObject*>{&t.c, &t.b, &t.a}));
  EXPECT_EQ(stranger.m_pNotify, nullptr);
}

TEST(CBubbleList, DuplicatesAreKeptAndRemoveTakesTheOneNearestTheHead) {
  CBubble a, b;
  CBubbleList list;
  list.Add(&a);
  list.Add(&b);
  list.Add(&a);
  EXPECT_EQ(Elements(list), (std::vector<const CObject*>{&a, &b, &a}));
  EXPECT_EQ(list.Remove(&a), &a);
  EXPECT_EQ(Elements(list), (std::vector<const CObject*>{&b, &a}));
  // Leaving the list does not clear the bubble's sink.
  EXPECT_EQ(a.m_pNotify, &list.m_notify);
}

TEST(CBubbleList, RemoveAndReinsertOfAnAbsentBubbleChangeNothing) {
  ListOfThree t;
  CBubble stranger;
  EXPECT_EQ(t.list.Remove(&stranger), nullptr);
  t.list.Reinsert(&stranger);
  EXPECT_EQ(Elements(t.list), (std::vector<const CObject*>{&t.c, &t.b, &t.a}));
  EXPECT_EQ(stranger.m_pNotify, nullptr);
}

TEST(CBubbleList, ArchivesInTheListFormHeadFirst) {
  TempDir dir;
  CBubble first, second;
  first.m_strText = "1";
  second.m_strText = "2";
  CBubbleList list;
  list.Add(&second);
  list.Add(&first);
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { ar << &list; });
  const auto tag = [](const std::string& name) {
    return std::string("\xFF\xFF\0\0", 4) + char(name.size()) + '\0' + name;
  };
  const auto bubble = [](char text) {
    return std::string(20, '\0') + '\x01' + text + std::string("\x0C\0\0\0\x0C\0\0\0\x64\0\0\0\0\0\0\x02", 16);
  };
  // Classes and objects share one index sequence: list class 1, list 2, bubble class 3.
  EXPECT_EQ(bytes, tag("CBubbleList") + std::string("\x02\0", 2) + tag("CBubble") + bubble('1') +
                       std::string("\x03\x80", 2) + bubble('2'));
}

TEST(CBubbleList, LoadingAppendsAfterWhatIsThereAndPointsEveryElementAtTheSink) {
  TempDir dir;
  ListOfThree stored;
  stored.a.m_strText = "A";
  stored.b.m_strText = "B";
  stored.c.m_strText = "C";
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { stored.list.Serialize(ar); });

  CBubble old;
  CBubbleList elsewhere;
  elsewhere.Add(&old);
  CBubbleList list;
  list.AddTail(&old);  // still reporting to the other list
  LoadBytes(dir, bytes, [&](CArchive& ar) { list.Serialize(ar); });
  ASSERT_EQ(list.GetCount(), 4);
  std::vector<std::unique_ptr<CBubble>> loaded;
  POSITION pos = list.GetHeadPosition();
  EXPECT_EQ(list.GetNext(pos), &old);
  while (pos != nullptr) loaded.emplace_back(dynamic_cast<CBubble*>(list.GetNext(pos)));
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_EQ(loaded[0]->m_strText, CString("C"));
  EXPECT_EQ(loaded[1]->m_strText, CString("B"));
  EXPECT_EQ(loaded[2]->m_strText, CString("A"));
  EXPECT_EQ(old.m_pNotify, &list.m_notify);
  for (const auto& p : loaded) EXPECT_EQ(p->m_pNotify, &list.m_notify);
}

TEST(CBubbleList, LoadingSomethingOtherThanABubbleIsAnArchiveError) {
  TempDir dir;
  CObList notABubble;
  CBubbleList stored;
  stored.AddTail(&notABubble);
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { stored.Serialize(ar); });
  CBubbleList list;
  try {
    LoadBytes(dir, bytes, [&](CArchive& ar) { list.Serialize(ar); });
    ADD_FAILURE() << "a list was accepted as a bubble";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::badClass);
  }
  EXPECT_TRUE(list.IsEmpty());
}

TEST(CBubbleList, DestroyingTheListLeavesItsBubblesAlive) {
  auto a = std::make_unique<CBubble>();
  auto b = std::make_unique<CBubble>();
  {
    CBubbleList list;
    list.Add(a.get());
    list.Add(b.get());
    list.Add(a.get());
    list.Remove(b.get());
  }
  // Deleting them here is the only delete: a list that deleted them would fault under ASan.
  a->m_strText = "still here";
  EXPECT_EQ(a->m_strText, CString("still here"));
  EXPECT_NE(b->m_brBackground.GetSafeHandle(), nullptr);
}

TEST(CBubbleList, AFailedLoadKeepsWhatWasThereAndFreesOnlyTheBubblesItFirstRead) {
  TempDir dir;
  CBubble shared, fresh;
  shared.m_strText = "shared";
  CBubbleList stored;
  stored.AddTail(&shared);
  stored.AddTail(&fresh);
  stored.AddTail(&fresh);
  // A bubble read before the list, then the list of it and a new bubble twice, cut off in the
  // last reference to the new one.
  std::string bytes = StoreBytes(dir, [&](CArchive& ar) {
    ar << &shared;
    stored.Serialize(ar);
  });
  bytes.pop_back();

  CBubble old;
  CBubbleList list;
  list.AddTail(&old);
  std::unique_ptr<CObject> first;
  EXPECT_THROW(LoadBytes(dir, bytes,
                         [&](CArchive& ar) {
                           first.reset(ar.ReadObject(RUNTIME_CLASS(CBubble)));
                           list.Serialize(ar);
                         }),
               CArchiveException);
  // The list is as it was; the bubble read before it is its reader's and still alive (ASan
  // would see a use after free), and the new one is freed (ASan would see a leak).
  EXPECT_EQ(Elements(list), std::vector<const CObject*>{&old});
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(dynamic_cast<CBubble*>(first.get())->m_strText, CString("shared"));
}

TEST(CBubbleList, ADamagedListArchiveFailsWithoutLeakingItsBubbles) {
  CFile file(KV2_TEST_DATA "/archive/bad/bubble-list-damaged-after-its-first-bubbles-leaks-them.ar", CFile::modeRead);
  CArchive ar(&file, CArchive::load);
  EXPECT_THROW(delete ar.ReadObject(RUNTIME_CLASS(CBubbleList)), CArchiveException);
}
