#include "CObject.h"

#include <cstring>

namespace {

CRuntimeClass* firstClass = nullptr;

}  // namespace

CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, nullptr,
                                       nullptr};

CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive&) {}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass) {
  for (const CRuntimeClass* p = firstClass; p != nullptr; p = p->m_pNextClass)
    if (p == pNewClass) return;
  pNewClass->m_pNextClass = firstClass;
  firstClass = pNewClass;
}

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass)
    if (p == pBaseClass) return TRUE;
  return FALSE;
}

const CRuntimeClass* CRuntimeClass::FirstClass() { return firstClass; }

const CRuntimeClass* CRuntimeClass::FromName(const char* lpszClassName) {
  if (lpszClassName == nullptr) return nullptr;
  for (const CRuntimeClass* p = firstClass; p != nullptr; p = p->m_pNextClass)
    if (std::strcmp(p->m_lpszClassName, lpszClassName) == 0) return p;
  return nullptr;
}

CObject* CRuntimeClass::CreateObject(const char* lpszClassName) {
  const CRuntimeClass* p = FromName(lpszClassName);
  return p ? p->CreateObject() : nullptr;
}
