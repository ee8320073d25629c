// What a window's client area shows on the screen, read back once into 32-bit pixels.
#pragma once

#include "win32.h"

#include <vector>

class CWindowShot {
 public:
  explicit CWindowShot(HWND hWnd);

  int Width() const { return m_cx; }
  int Height() const { return m_cy; }
  // The pixel as a COLORREF.
  COLORREF At(int x, int y) const;

 private:
  int m_cx = 0;
  int m_cy = 0;
  std::vector<DWORD> m_pixels;  // top row first
};
