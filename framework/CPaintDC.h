// The device context of a WM_PAINT: BeginPaint when made, EndPaint when the scope ends, also
// when a handler throws.
#pragma once

#include "CDC.h"
#include "CWnd.h"

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
  ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  PAINTSTRUCT m_ps{};

 private:
  HWND m_hWnd;
};
