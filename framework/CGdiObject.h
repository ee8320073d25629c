// Holds one GDI object handle and deletes it when it goes; an empty holder deletes nothing.
#pragma once

#include "CObject.h"

class CGdiObject : public CObject {
  DECLARE_DYNAMIC(CGdiObject)

 public:
  CGdiObject() = default;
  ~CGdiObject() override { DeleteObject(); }

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  // Takes ownership of h; FALSE (and nothing held) when h is null.
  BOOL Attach(HGDIOBJ h) {
    m_hObject = h;
    return h != nullptr;
  }
  HGDIOBJ Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
  }
  BOOL DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    return ::DeleteObject(Detach());
  }

  HGDIOBJ m_hObject = nullptr;
};
