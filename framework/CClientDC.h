// A window's client-area device context: GetDC when made, ReleaseDC when the scope ends, also
// when a handler throws.
#pragma once

#include "CDC.h"
#include "CWnd.h"

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = ::GetDC(m_hWnd); }
  ~CClientDC() override {
    if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, m_hDC);
  }
  CClientDC(const CClientDC&) = delete;
  CClientDC& operator=(const CClientDC&) = delete;

 private:
  HWND m_hWnd;
};
