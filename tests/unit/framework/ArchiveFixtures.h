// Small archivable classes and helpers shared by the archive tests.
#pragma once

#include "CArchive.h"
#include "CObList.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// Checks that the class is registered under pszName with schema 0 and base pBase, and returns
// an object created by that name (null when it could not be).
inline std::unique_ptr<CObject> CreateRegistered(const char* pszName, const CRuntimeClass* pClass,
                                                 const CRuntimeClass* pBase) {
  const CRuntimeClass* pFound = CRuntimeClass::FromName(pszName);
  EXPECT_EQ(pFound, pClass) << pszName;
  if (pFound != pClass) return nullptr;
  EXPECT_EQ(pClass->m_wSchema, 0u) << pszName;
  EXPECT_EQ(pClass->m_pBaseClass, pBase) << pszName;
  std::unique_ptr<CObject> pObject(CRuntimeClass::CreateObject(pszName));
  EXPECT_TRUE(pObject != nullptr && pObject->GetRuntimeClass() == pClass) << pszName;
  return pObject && pObject->GetRuntimeClass() == pClass ? std::move(pObject) : nullptr;
}

// A node with a value, a name and a link to another object, which it does not own.
class CTestNode : public CObject {
  DECLARE_SERIAL(CTestNode)

 public:
  LONG m_nValue = 0;
  CString m_strName;
  CObject* m_pLink = nullptr;

  void Serialize(CArchive& ar) override;
};

// Registered under schema 2, to test archives written with another version.
class CTestVersioned : public CObject {
  DECLARE_SERIAL(CTestVersioned)
};

// Stores with fn into a file and returns the file's bytes.
template <typename Fn>
std::string StoreBytes(const TempDir& dir, Fn fn) {
  const std::string path = dir.Path("store.bin");
  {
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    fn(ar);
    ar.Close();
  }
  return dir.Read("store.bin");
}

// Loads with fn from a file holding bytes.
template <typename Fn>
void LoadBytes(const TempDir& dir, const std::string& bytes, Fn fn) {
  dir.Write("load.bin", bytes);
  const std::string path = dir.Path("load.bin");
  CFile file(path.c_str(), CFile::modeRead);
  CArchive ar(&file, CArchive::load);
  fn(ar);
}
