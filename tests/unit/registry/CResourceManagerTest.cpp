#include "CResourceManager.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

// Runs in another current directory and goes back afterwards.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& path) : m_saved(std::filesystem::current_path()) {
    m_bEntered = ::SetCurrentDirectoryA(path.c_str()) != FALSE;
  }
  ~CurrentDirectory() { std::filesystem::current_path(m_saved); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

  bool Entered() const { return m_bEntered; }

 private:
  std::filesystem::path m_saved;
  bool m_bEntered = false;
};

// Counts its deletions, so that a test sees which owned objects went.
class CCounted : public CObject {
 public:
  explicit CCounted(int& nDeleted) : m_nDeleted(nDeleted) {}
  ~CCounted() override { ++m_nDeleted; }

 private:
  int& m_nDeleted;
};

// Tables as a loader would leave them, every kind of owned block present; under LeakSanitizer
// anything Clear forgets shows up as a leak.
void Fill(CResourceManager& rm, int& nDeleted) {
  rm.m_nFirstCount = 2;
  rm.m_pFirstTable.reset(new CResourceManager::CFirstEntry[2]);
  rm.m_pFirstTable[1].m_strName = CString('n', 100);
  rm.m_nSecondCount = 3;
  rm.m_pSecondTable.reset(new CResourceManager::CSecondEntry[3]);
  for (int i = 0; i < 2; ++i) {
    CResourceManager::CSecondEntry& e = rm.m_pSecondTable[i];
    e.m_strFirst = CString('f', 50);
    e.m_strSecond = CString('s', 50);
    e.m_pNested.reset(new CResourceManager::CNestedEntry[2]);
    e.m_pNested[0].m_pBlock.reset(new BYTE[64]);
  }
  rm.m_listObjects.AddTail(new CCounted(nDeleted));
  rm.m_listObjects.AddTail(nullptr);
  rm.m_listObjects.AddTail(new CCounted(nDeleted));
  rm.m_listObjects.AddTail(nullptr);
}

void ExpectEmpty(const CResourceManager& rm) {
  EXPECT_EQ(rm.m_nFirstCount, 0u);
  EXPECT_EQ(rm.m_pFirstTable, nullptr);
  EXPECT_EQ(rm.m_nSecondCount, 0u);
  EXPECT_EQ(rm.m_pSecondTable, nullptr);
  EXPECT_TRUE(rm.m_listObjects.IsEmpty());
}

}  // namespace

TEST(CResourceManager, StartsEmptyWithItsFlagSetAndNoClassOfItsOwn) {
  const CResourceManager rm;
  ExpectEmpty(rm);
  EXPECT_TRUE(rm.m_strValue.IsEmpty());
  EXPECT_EQ(rm.m_bFlag, 1);
  EXPECT_EQ(rm.GetRuntimeClass(), RUNTIME_CLASS(CObject));
}

TEST(CResourceManager, DataFolderIsTheCurrentDirectoryFollowedByData) {
  TempDir dir;
  const std::string shortPath = dir.Path("Games");
  // Deeper than the 512-character buffer the directory is first read into.
  std::string longPath = dir.Path("");
  while (longPath.size() < 700) longPath = (std::filesystem::path(longPath) / std::string(60, 'd')).string();
  for (const std::string& path : {shortPath, longPath}) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    const CurrentDirectory cd(path);
    if (!cd.Entered()) {
#ifdef _WIN32
      if (path.size() >= MAX_PATH) continue;  // Windows keeps current directories below MAX_PATH
#endif
      FAIL() << "cannot enter " << path;
    }
    const CResourceManager rm;
    EXPECT_EQ(std::string(rm.m_strDataFolder), std::filesystem::current_path().string() + "\\data\\")
        << path.size() << " characters";
  }
}

TEST(CResourceManager, UnreadableCurrentDirectoryGivesTheDataFolderBelowIt) {
  TempDir dir;
  const std::string path = dir.Path("gone");
  std::filesystem::create_directories(path);
  const CurrentDirectory cd(path);
  std::error_code ec;
  const bool bRemoved = std::filesystem::remove(path, ec);
#ifdef _WIN32
  // Windows holds its current directory open: it cannot be removed, so it can always be read.
  ASSERT_FALSE(bRemoved);
  EXPECT_EQ(std::string(CResourceManager().m_strDataFolder), std::filesystem::current_path().string() + "\\data\\");
#else
  ASSERT_TRUE(bRemoved);
  EXPECT_EQ(CResourceManager().m_strDataFolder, CString(".\\data\\"));
#endif
}

TEST(CResourceManager, SetDataFolderEndsTheFolderWithOneBackslash) {
  struct Case {
    const char* pszIn;
    const char* pszStored;
  };
  CResourceManager rm;
  for (const Case& k : {Case{"C:\\Games", "C:\\Games\\"}, Case{"C:\\Games\\", "C:\\Games\\"}, Case{"\\", "\\"},
                        Case{"data", "data\\"}, Case{"", ""}}) {
    EXPECT_EQ(rm.SetDataFolder(k.pszIn), 1);
    EXPECT_EQ(rm.m_strDataFolder, CString(k.pszStored)) << k.pszIn;
  }
}

TEST(CResourceManager, ClearReleasesEverythingAndMayBeRepeated) {
  int nDeleted = 0;
  CResourceManager rm;
  const CString strFolder = rm.m_strDataFolder;
  Fill(rm, nDeleted);
  rm.Clear();
  ExpectEmpty(rm);
  EXPECT_EQ(nDeleted, 2);
  rm.Clear();
  ExpectEmpty(rm);
  EXPECT_EQ(nDeleted, 2);
  EXPECT_EQ(rm.m_strDataFolder, strFolder);
  EXPECT_EQ(rm.m_bFlag, 1);
}

TEST(CResourceManager, DeleteObjectsSkipsNullElementsAndEmptiesTheList) {
  int nDeleted = 0;
  CResourceManager rm;
  for (int i = 0; i < 25; ++i) rm.m_listObjects.AddTail(i % 3 == 0 ? nullptr : new CCounted(nDeleted));
  rm.DeleteObjects();
  EXPECT_EQ(nDeleted, 16);
  EXPECT_TRUE(rm.m_listObjects.IsEmpty());
}

TEST(CResourceManager, DestructionReleasesWhatItHolds) {
  int nDeleted = 0;
  {
    CResourceManager rm;
    Fill(rm, nDeleted);
  }
  EXPECT_EQ(nDeleted, 2);
}
