#include "ArchiveFixtures.h"
#include "CArchiveException.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

IMPLEMENT_SERIAL(CTestNode, CObject, 0)
IMPLEMENT_SERIAL(CTestVersioned, CObject, 2)

void CTestNode::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_nValue << m_strName << m_pLink;
  } else {
    ar >> m_nValue >> m_strName >> m_pLink;
  }
}

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

std::string ClassTag(const char* name, int schema) {
  const std::string n(name);
  return Bytes({0xFF, 0xFF, schema & 0xFF, schema >> 8, static_cast<int>(n.size()), 0}) + n;
}

int ArchiveCause(const TempDir& dir, const std::string& bytes) {
  try {
    LoadBytes(dir, bytes, [](CArchive& ar) { delete ar.ReadObject(nullptr); });
  } catch (const CArchiveException& e) {
    return e.m_cause;
  }
  return CArchiveException::none;
}

}  // namespace

TEST(ArchiveValues, AreLittleEndianWhateverTheMachine) {
  TempDir dir;
  const std::string bytes = StoreBytes(dir, [](CArchive& ar) {
    ar << BYTE(0x12) << WORD(0x3456) << DWORD(0x789ABCDE) << LONG(-2);
  });
  EXPECT_EQ(bytes, Bytes({0x12, 0x56, 0x34, 0xDE, 0xBC, 0x9A, 0x78, 0xFE, 0xFF, 0xFF, 0xFF}));
  LoadBytes(dir, bytes, [](CArchive& ar) {
    BYTE b = 0;
    WORD w = 0;
    DWORD dw = 0;
    LONG l = 0;
    ar >> b >> w >> dw >> l;
    EXPECT_EQ(b, 0x12);
    EXPECT_EQ(w, 0x3456);
    EXPECT_EQ(dw, 0x789ABCDEu);
    EXPECT_EQ(l, -2);
  });
}

TEST(ArchiveStrings, CarryTheirLengthInOneThreeOrSevenBytes) {
  struct Case {
    int length;
    std::string prefix;
  };
  const Case cases[] = {
      {0, Bytes({0})},
      {254, Bytes({0xFE})},
      {255, Bytes({0xFF, 0xFF, 0x00})},
      {0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
      {0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
  };
  TempDir dir;
  for (const Case& c : cases) {
    const CString text('k', c.length);
    const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { ar << text; });
    ASSERT_EQ(bytes.size(), c.prefix.size() + static_cast<size_t>(c.length)) << c.length;
    EXPECT_EQ(bytes.substr(0, c.prefix.size()), c.prefix) << c.length;
    LoadBytes(dir, bytes, [&](CArchive& ar) {
      CString back;
      ar >> back;
      EXPECT_TRUE(back == text) << c.length;
    });
  }
}

TEST(ArchiveStrings, ALengthPastTheEndFailsWithoutTakingThatMuchMemory) {
  TempDir dir;
  LoadBytes(dir, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'}), [](CArchive& ar) {
    CString s;
    try {
      ar >> s;
      FAIL() << "read a string longer than the file";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
  });
}

TEST(ArchiveObjects, WriteTheDocumentedTagsForNewAndRepeatedClassesAndObjects) {
  TempDir dir;
  CTestNode a, b;
  a.m_nValue = 1;
  a.m_pLink = &b;
  b.m_nValue = 2;
  b.m_pLink = &a;
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { ar << &a << static_cast<CObject*>(nullptr); });
  // a: new class (index 1), object index 2; b: class by index 1, object index 3; then a again.
  const std::string expected = ClassTag("CTestNode", 0) + Bytes({1, 0, 0, 0, 0}) +  // a's value, empty name
                               Bytes({0x01, 0x80}) + Bytes({2, 0, 0, 0, 0}) +        // b
                               Bytes({0x02, 0x00}) +                                 // b's link: a
                               Bytes({0x00, 0x00});                                  // null
  EXPECT_EQ(bytes, expected);
}

TEST(ArchiveObjects, RoundTripNestedAndRepeatedObjectsAsTheSamePointers) {
  TempDir dir;
  CTestNode a, b, c;
  a.m_strName = "first";
  a.m_pLink = &b;
  b.m_strName = "second";
  b.m_pLink = &c;
  c.m_strName = "third";
  c.m_pLink = &a;  // a cycle: the last link refers back to the first object
  CObList list;
  list.AddTail(&a);
  list.AddTail(&c);
  list.AddTail(&a);
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { ar << &list; });

  LoadBytes(dir, bytes, [](CArchive& ar) {
    std::unique_ptr<CObject> loaded(ar.ReadObject(RUNTIME_CLASS(CObList)));
    auto* back = static_cast<CObList*>(loaded.get());
    ASSERT_EQ(back->GetCount(), 3);
    POSITION pos = back->GetHeadPosition();
    auto* a2 = static_cast<CTestNode*>(back->GetNext(pos));
    auto* c2 = static_cast<CTestNode*>(back->GetNext(pos));
    EXPECT_EQ(back->GetNext(pos), a2);
    auto* b2 = static_cast<CTestNode*>(a2->m_pLink);
    EXPECT_STREQ(a2->m_strName, "first");
    EXPECT_STREQ(b2->m_strName, "second");
    EXPECT_EQ(b2->m_pLink, c2);
    EXPECT_STREQ(c2->m_strName, "third");
    EXPECT_EQ(c2->m_pLink, a2);
    delete a2;
    delete b2;
    delete c2;
  });
}

TEST(ArchiveObjects, UseBigIndexesPastTheWordRange) {
  TempDir dir;
  // Class 1 and objects 2.. fill the word range, so the later references need the long form.
  std::vector<std::unique_ptr<CTestNode>> nodes(0x7FFF);
  for (auto& n : nodes) n = std::make_unique<CTestNode>();
  CTestNode* last = nodes.back().get();
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) {
    for (auto& n : nodes) ar << n.get();
    ar << last;
  });
  // The last object has index 0x8000; its repetition is 0x7FFF then that index as a DWORD.
  EXPECT_EQ(bytes.substr(bytes.size() - 6), Bytes({0xFF, 0x7F, 0x00, 0x80, 0x00, 0x00}));

  LoadBytes(dir, bytes, [&](CArchive& ar) {
    std::vector<std::unique_ptr<CObject>> back;
    for (size_t i = 0; i < nodes.size(); ++i) back.emplace_back(ar.ReadObject(RUNTIME_CLASS(CTestNode)));
    EXPECT_EQ(ar.ReadObject(nullptr), back.back().get());
  });
}

TEST(ArchiveObjects, AreCreatedByClassName) {
  std::unique_ptr<CObject> p(CRuntimeClass::CreateObject("CTestNode"));
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->IsKindOf(RUNTIME_CLASS(CTestNode)));
  EXPECT_TRUE(p->IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(p->IsKindOf(RUNTIME_CLASS(CObList)));
  EXPECT_EQ(CRuntimeClass::CreateObject("CNoSuchClass"), nullptr);
  EXPECT_EQ(CRuntimeClass::FromName("CTestVersioned")->m_wSchema, 2u);
}

TEST(ArchiveObjects, DamagedArchivesRaiseTheRightCause) {
  struct Case {
    const char* what;
    std::string bytes;
    int cause;
  };
  const Case cases[] = {
      {"unknown class", ClassTag("CNoSuchClass", 0), CArchiveException::badClass},
      {"stored under another schema", ClassTag("CTestVersioned", 1), CArchiveException::badSchema},
      {"our own schema", ClassTag("CTestVersioned", 2), CArchiveException::none},
      {"reference to an object not yet read", Bytes({0x05, 0x00}), CArchiveException::badIndex},
      {"reference to a class not yet read", Bytes({0x03, 0x80}), CArchiveException::badIndex},
      {"a class index used as an object", ClassTag("CTestNode", 0) + Bytes({0, 0, 0, 0, 0, 0x01, 0x00}),
       CArchiveException::badIndex},
      {"class name longer than any of ours", Bytes({0xFF, 0xFF, 0, 0, 0xFF, 0}) + std::string(255, 'C'),
       CArchiveException::badClass},
      {"empty", "", CArchiveException::endOfFile},
      {"class name cut short", ClassTag("CTestNode", 0).substr(0, 10), CArchiveException::endOfFile},
  };
  TempDir dir;
  for (const Case& c : cases) EXPECT_EQ(ArchiveCause(dir, c.bytes), c.cause) << c.what;
}

TEST(ArchiveObjects, ARequestedClassIsEnforced) {
  TempDir dir;
  CTestNode node;
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { ar << &node; });
  LoadBytes(dir, bytes, [](CArchive& ar) {
    try {
      delete ar.ReadObject(RUNTIME_CLASS(CObList));
      FAIL() << "a node loaded as a list";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.m_cause, CArchiveException::badClass);
    }
  });
}

TEST(ArchiveObjects, EveryTruncationFailsCleanly) {
  TempDir dir;
  CTestNode a, b;
  a.m_strName = "head";
  a.m_pLink = &b;
  b.m_strName = CString('x', 300);
  CObList list;
  list.AddTail(&a);
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { list.Serialize(ar); });
  for (size_t n = 0; n < bytes.size(); ++n) {
    int cause = CArchiveException::none;
    CObList into;
    try {
      LoadBytes(dir, bytes.substr(0, n), [&](CArchive& ar) { into.Serialize(ar); });
    } catch (const CArchiveException& e) {
      cause = e.m_cause;
    }
    EXPECT_EQ(cause, CArchiveException::endOfFile) << "cut at " << n;
    // What the list took before the failure is still there for its owner to release.
    while (!into.IsEmpty()) {
      auto* node = static_cast<CTestNode*>(into.RemoveHead());
      delete node->m_pLink;
      delete node;
    }
  }
}

TEST(ArchiveFlush, HandsTheFileOverAtTheFirstUnconsumedByte) {
  TempDir dir;
  const std::string bytes = StoreBytes(dir, [](CArchive& ar) {
    ar << DWORD(7);
    ar.Flush();
    ar.GetFile()->Write("RAW!", 4);
    ar << WORD(9);
  });
  ASSERT_EQ(bytes.size(), 10u);
  LoadBytes(dir, bytes, [](CArchive& ar) {
    DWORD first = 0;
    ar >> first;
    ar.Flush();
    char raw[4];
    ASSERT_EQ(ar.GetFile()->Read(raw, 4), 4u);
    EXPECT_EQ(std::string(raw, 4), "RAW!");
    WORD after = 0;
    ar >> after;
    EXPECT_EQ(first, 7u);
    EXPECT_EQ(after, 9);
  });
}
