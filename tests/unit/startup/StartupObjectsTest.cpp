#include "StartupObjects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// The class list links the newest class first, so its tail holds the classes registered at
// their stages, before every class registered without one.
TEST(StartupObjects, OrderedClassesAreTheFirstRegistered) {
  std::vector<std::string> oldestFirst;
  for (const CRuntimeClass* p = CRuntimeClass::FirstClass(); p != nullptr; p = p->m_pNextClass)
    oldestFirst.insert(oldestFirst.begin(), p->m_lpszClassName);
  const std::vector<std::string> ordered = {"CBubble", "CBubbleList", "CDIB", "CPhasedSprite", "CSprite"};
  ASSERT_GE(oldestFirst.size(), ordered.size());
  EXPECT_EQ(std::vector<std::string>(oldestFirst.begin(), oldestFirst.begin() + std::ssize(ordered)), ordered);
}

TEST(StartupObjects, RegistriesAreBuiltBeforeTheProgramRuns) {
  EXPECT_EQ(g_lineParser.m_nBufferSize, 4096u);
  EXPECT_EQ(g_lineParser.m_dwFirst, 1u);
  EXPECT_EQ(g_lineParser.IsComment(), 1);
  // The suite leaves the current directory as it found it.
  EXPECT_EQ(std::string(g_resourceManager.m_strDataFolder), std::filesystem::current_path().string() + "\\data\\");
  EXPECT_EQ(g_resourceManager.m_bFlag, 1);
  EXPECT_EQ(g_resourceManager.m_pFirstTable, nullptr);
}
