// Resources of type "DIB" found by number, locked in place and made writable, as the bitmap
// loader uses them. On Windows the resource is compiled into the test program
// (PlatformResources.rc); natively the test puts the same bytes in the stand-in's table.
#include "platform/PlatformTestSupport.h"

#ifndef _WIN32
#include "native/Resources.h"
#endif

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr WORD kId = 4321;

class Resource : public testing::Test {
 protected:
  static void SetUpTestSuite() {
#ifndef _WIN32
    const std::string bytes = ReadFixture("szdd/good/picture.bmp");
    native::AddResource("DIB", kId, std::vector<BYTE>(bytes.begin(), bytes.end()));
#endif
  }

  HMODULE m_module = GetModuleHandleA(nullptr);
};

TEST_F(Resource, IsFoundByNumberAndTypeName) {
  const HRSRC resource = FindResourceA(m_module, MAKEINTRESOURCEA(kId), "DIB");
  ASSERT_NE(resource, nullptr);
  const std::string expected = ReadFixture("szdd/good/picture.bmp");
  EXPECT_EQ(SizeofResource(m_module, resource), expected.size());
  const auto* data = static_cast<const char*>(LockResource(LoadResource(m_module, resource)));
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(std::string(data, expected.size()) == expected);
  EXPECT_NE(FindResourceA(m_module, MAKEINTRESOURCEA(kId), "dib"), nullptr) << "type names ignore case";
}

TEST_F(Resource, OthersAreNotFound) {
  EXPECT_EQ(FindResourceA(m_module, MAKEINTRESOURCEA(kId + 1), "DIB"), nullptr);
  EXPECT_EQ(FindResourceA(m_module, MAKEINTRESOURCEA(kId), "BMP"), nullptr);
  EXPECT_EQ(FindResourceA(m_module, MAKEINTRESOURCEA(kId), RT_RCDATA), nullptr);
}

// The loader adopts the pixels where they lie and later writes into them.
TEST_F(Resource, StaysInPlaceAndCanBeMadeWritable) {
  const HRSRC resource = FindResourceA(m_module, MAKEINTRESOURCEA(kId), "DIB");
  auto* first = static_cast<BYTE*>(LockResource(LoadResource(m_module, resource)));
  const auto* second = static_cast<BYTE*>(
      LockResource(LoadResource(m_module, FindResourceA(m_module, MAKEINTRESOURCEA(kId), "DIB"))));
  EXPECT_EQ(first, second);
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(first, SizeofResource(m_module, resource), PAGE_READWRITE, &old));
  const BYTE kept = first[100];
  first[100] = static_cast<BYTE>(~kept);
  EXPECT_EQ(second[100], static_cast<BYTE>(~kept));
  first[100] = kept;
}

}  // namespace
