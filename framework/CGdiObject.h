// Holds one GDI object handle. An owned handle is deleted when the holder goes; a viewed one (a
// stock object, a palette somebody else owns) is only let go. An empty holder deletes nothing.
#pragma once

#include "CObject.h"

class CGdiObject : public CObject {
  DECLARE_DYNAMIC(CGdiObject)

 public:
  CGdiObject() = default;
  ~CGdiObject() override { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  // Takes h, owned unless bOwn is FALSE; a handle held before is deleted first if it was owned,
  // so that none is lost. FALSE (and nothing held) when h is null.
  BOOL Attach(HGDIOBJ h, BOOL bOwn = TRUE) {
    if (h != m_hObject) DeleteObject();
    m_hObject = h;
    m_bOwnObject = h != nullptr && bOwn;
    return h != nullptr;
  }
  HGDIOBJ Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    m_bOwnObject = FALSE;
    return h;
  }
  // Deletes the handle if owned, lets it go if viewed; FALSE when nothing was held.
  BOOL DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    const BOOL bOwned = m_bOwnObject;
    HGDIOBJ h = Detach();
    return bOwned ? ::DeleteObject(h) : TRUE;
  }

  HGDIOBJ m_hObject = nullptr;

 private:
  BOOL m_bOwnObject = FALSE;
};
