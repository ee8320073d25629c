// A pen, brush or font selected into a device context for the life of a scope; the object it
// replaced goes back in when the scope ends, also when a handler throws.
#pragma once

#include "win32.h"

class CGdiSelection {
 public:
  CGdiSelection(HDC hDC, HGDIOBJ hObject) : m_hDC(hDC), m_hOld(::SelectObject(hDC, hObject)) {}
  ~CGdiSelection() {
    if (m_hOld != nullptr) ::SelectObject(m_hDC, m_hOld);
  }
  CGdiSelection(const CGdiSelection&) = delete;
  CGdiSelection& operator=(const CGdiSelection&) = delete;

 private:
  HDC m_hDC;
  HGDIOBJ m_hOld;
};
