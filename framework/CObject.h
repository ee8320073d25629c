// The root of every framework class: run-time class identity and archiving.
#pragma once

#include "CRuntimeClass.h"

#include <new>

class CArchive;
class CDumpContext;

class CObject {
 public:
  static CRuntimeClass classCObject;

  virtual CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;
  virtual void Serialize(CArchive& ar);
  // Diagnostics of the original framework; nothing here checks or dumps.
  virtual void AssertValid() const {}
  virtual void Dump(CDumpContext&) const {}

  BOOL IsKindOf(const CRuntimeClass* pClass) const;
  BOOL IsSerializable() const;

 protected:
  CObject() = default;
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
};
