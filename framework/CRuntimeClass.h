// The record of a class that can be identified at run time and created by name.
#pragma once

#include "win32.h"

class CObject;

struct CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;  // 0xFFFF for classes that cannot be archived
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;
  CRuntimeClass* m_pNextClass;  // the list of registered classes, newest first

  // Null when the class cannot be created or memory runs out.
  CObject* CreateObject() const;
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

  static const CRuntimeClass* FromName(const char* lpszClassName);
  static CObject* CreateObject(const char* lpszClassName);
  static const CRuntimeClass* FirstClass();
};

// Links a class record into the list during static initialisation. Linking twice is harmless,
// so a class may be registered both by its own source file and by an explicit start-up list.
struct AFX_CLASSINIT {
  explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)              \
 public:                                         \
  static CRuntimeClass class##class_name;        \
  CRuntimeClass* GetRuntimeClass() const override;

// One line in the header of a class that archives can create by name.
#define DECLARE_SERIAL(class_name) \
  DECLARE_DYNAMIC(class_name)      \
  static CObject* CreateObject();

#define KV2_RUNTIME_CLASS(class_name, base_class_name, wSchema, pfnNew)                              \
  CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)), \
                                                 wSchema, pfnNew, RUNTIME_CLASS(base_class_name),   \
                                                 nullptr};                                          \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  KV2_RUNTIME_CLASS(class_name, base_class_name, 0xFFFF, nullptr)

// One line in the source file of a class that archives can create by name.
#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                   \
  CObject* class_name::CreateObject() { return new (std::nothrow) class_name; }                  \
  KV2_RUNTIME_CLASS(class_name, base_class_name, wSchema, class_name::CreateObject)               \
  static const AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name));
