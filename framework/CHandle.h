// A kernel handle closed when the scope ends.
#pragma once

#include "win32.h"

class CHandle {
 public:
  explicit CHandle(HANDLE h) : m_h(h) {}
  ~CHandle() {
    if (m_h != nullptr) ::CloseHandle(m_h);
  }
  CHandle(const CHandle&) = delete;
  CHandle& operator=(const CHandle&) = delete;

  operator HANDLE() const { return m_h; }

  // Hands the handle on; it is no longer closed here.
  HANDLE Detach() {
    const HANDLE h = m_h;
    m_h = nullptr;
    return h;
  }

 private:
  HANDLE m_h;
};
