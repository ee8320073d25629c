#include "CArchiveException.h"
#include "CBubble.h"
#include "framework/ArchiveFixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

std::string Le32(DWORD v) { return Bytes({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)}); }

// What the archive writes before a bubble's own data, the first time it meets the class.
const std::string kBubbleClassTag = Bytes({0xFF, 0xFF, 0, 0, 7, 0}) + "CBubble";

void Fill(CBubble& b, const CString& strText) {
  b.m_dwValue = 0xA1B2C3D4;
  b.m_rcFirst = CRect(-5, 6, 300, 0x7FFFFFFF);
  b.m_strText = strText;
  b.m_sizePair = CSize(-1, 40);
  b.m_nNumber = -7;
  b.m_crColor = 0x01000017;
}

}  // namespace

TEST(CBubble, IsACreatableRuntimeClassOfSchemaZero) {
  const std::unique_ptr<CObject> pOb = CreateRegistered("CBubble", RUNTIME_CLASS(CBubble), RUNTIME_CLASS(CObject));
  ASSERT_NE(dynamic_cast<CBubble*>(pOb.get()), nullptr);
  EXPECT_EQ(pOb->GetRuntimeClass(), RUNTIME_CLASS(CBubble));
}

TEST(CBubble, StartsWithItsUnarchivedFieldsClearAndAPaleCreamBrush) {
  const CBubble b;
  EXPECT_EQ(b.m_rcSecond, CRect());
  EXPECT_EQ(b.m_pNotify, nullptr);
  const BYTE zeros[16] = {};
  EXPECT_EQ(std::memcmp(b.m_abData, zeros, sizeof zeros), 0);
  EXPECT_EQ(b.m_adwWords[0] | b.m_adwWords[1] | b.m_adwWords[2], 0u);
  ASSERT_NE(b.m_brBackground.GetSafeHandle(), nullptr);
#ifdef _WIN32
  LOGBRUSH lb{};
  ASSERT_EQ(::GetObjectA(b.m_brBackground.GetSafeHandle(), sizeof lb, &lb), int(sizeof lb));
  EXPECT_EQ(lb.lbStyle, UINT(BS_SOLID));
  EXPECT_EQ(lb.lbColor, 0x02BFEFFFu);
#endif
}

TEST(CBubble, NewBubbleArchivesItsDefaultsAfterItsClass) {
  TempDir dir;
  const CBubble b;
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { ar << &b; });
  EXPECT_EQ(bytes, kBubbleClassTag + std::string(4, '\0') + std::string(16, '\0') + Bytes({0}) + Le32(12) + Le32(12) +
                       Le32(100) + Le32(0x02000000));
}

TEST(CBubble, ArchivesFieldsInOrderWithTheTextInTheArchiveStringForm) {
  TempDir dir;
  CBubble b;
  Fill(b, CString('x', 300));
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { b.Serialize(ar); });
  const std::string expected = Le32(0xA1B2C3D4) + Le32(DWORD(-5)) + Le32(6) + Le32(300) + Le32(0x7FFFFFFF) +
                               Bytes({0xFF, 0x2C, 0x01}) + std::string(300, 'x') + Le32(DWORD(-1)) + Le32(40) +
                               Le32(DWORD(-7)) + Le32(0x01000017);
  EXPECT_EQ(bytes, expected);
}

TEST(CBubble, LoadsWhatItStoredAndNothingElse) {
  for (const CString& strText : {CString(), CString("Hello"), CString('y', 254), CString('z', 70000)}) {
    TempDir dir;
    CBubble stored;
    Fill(stored, strText);
    const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { ar << &stored; });
    LoadBytes(dir, bytes, [&](CArchive& ar) {
      CObject* pOb = nullptr;
      ar >> pOb;
      std::unique_ptr<CBubble> loaded(dynamic_cast<CBubble*>(pOb));
      ASSERT_NE(loaded, nullptr);
      EXPECT_EQ(loaded->m_dwValue, stored.m_dwValue);
      EXPECT_EQ(loaded->m_rcFirst, stored.m_rcFirst);
      EXPECT_EQ(loaded->m_strText, stored.m_strText);
      EXPECT_EQ(loaded->m_sizePair, stored.m_sizePair);
      EXPECT_EQ(loaded->m_nNumber, stored.m_nNumber);
      EXPECT_EQ(loaded->m_crColor, stored.m_crColor);
    });
  }
}

TEST(CBubble, LoadingLeavesUnarchivedFieldsAlone) {
  TempDir dir;
  CBubble stored;
  Fill(stored, "text");
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { stored.Serialize(ar); });
  CBubble target;
  target.m_rcSecond = CRect(1, 2, 3, 4);
  target.m_abData[5] = 0x55;
  target.m_adwWords[2] = 9;
  HGDIOBJ hBrush = target.m_brBackground.GetSafeHandle();
  LoadBytes(dir, bytes, [&](CArchive& ar) { target.Serialize(ar); });
  EXPECT_EQ(target.m_strText, CString("text"));
  EXPECT_EQ(target.m_rcSecond, CRect(1, 2, 3, 4));
  EXPECT_EQ(target.m_abData[5], 0x55);
  EXPECT_EQ(target.m_adwWords[2], 9u);
  EXPECT_EQ(target.m_brBackground.GetSafeHandle(), hBrush);
}

TEST(CBubble, ShortArchiveFailsAndLeavesTheBubbleAsItWas) {
  TempDir dir;
  CBubble stored;
  Fill(stored, "complete");
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { stored.Serialize(ar); });
  // Cut inside the text, and inside the last field.
  for (size_t nKeep : {size_t(24), bytes.size() - 1}) {
    CBubble target;
    try {
      LoadBytes(dir, bytes.substr(0, nKeep), [&](CArchive& ar) { target.Serialize(ar); });
      ADD_FAILURE() << "no exception for " << nKeep << " bytes";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
    EXPECT_EQ(target.m_dwValue, 0u);
    EXPECT_EQ(target.m_rcFirst, CRect());
    EXPECT_TRUE(target.m_strText.IsEmpty());
    EXPECT_EQ(target.m_nNumber, 100);
  }
}
