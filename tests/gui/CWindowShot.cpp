#include "CWindowShot.h"

CWindowShot::CWindowShot(HWND hWnd) {
  RECT rc;
  GetClientRect(hWnd, &rc);
  m_cx = rc.right;
  m_cy = rc.bottom;
  m_pixels.resize(static_cast<size_t>(m_cx) * m_cy);
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), m_cx, -m_cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* pBits = nullptr;
  const HDC hWindowDC = GetDC(hWnd);
  const HDC hMemDC = CreateCompatibleDC(hWindowDC);
  const HBITMAP hBitmap = CreateDIBSection(hWindowDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
  const HGDIOBJ hOld = SelectObject(hMemDC, hBitmap);
  BitBlt(hMemDC, 0, 0, m_cx, m_cy, hWindowDC, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD* pSource = static_cast<const DWORD*>(pBits);
  m_pixels.assign(pSource, pSource + m_pixels.size());
  SelectObject(hMemDC, hOld);
  DeleteObject(hBitmap);
  DeleteDC(hMemDC);
  ReleaseDC(hWnd, hWindowDC);
}

COLORREF CWindowShot::At(int x, int y) const {
  const DWORD bgr = m_pixels[static_cast<size_t>(y) * m_cx + x];
  return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}
