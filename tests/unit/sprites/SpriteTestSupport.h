// What the sprite tests share: pictures made pixel by pixel and loaded the way owners load them,
// scene bitmaps read back pixel by pixel, and a sink that notes every call it gets.
#pragma once

#include "CSprite.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace sprite_test {

// The index of picture pixel (x, y), y counted from the top.
using PixelFn = std::function<BYTE(int x, int y)>;

// Colour entry i of every picture made here: a colour of its own for each index.
RGBQUAD ColorOf(int i);
// The bytes of an uncompressed 8-bit "BM" file with all 256 ColorOf entries.
std::string BitmapFile(int nWidth, int nHeight, const PixelFn& pixel);

// Bitmap files in a folder of their own, for the loads to read.
class CPictures {
 public:
  // Writes the picture and returns its path.
  std::string Write(int nWidth, int nHeight, const PixelFn& pixel);
  // The sprite's LoadFromFile on a file that holds the picture.
  BOOL Load(CSprite& sprite, int nWidth, int nHeight, const PixelFn& pixel);

 private:
  TempDir m_dir;
  int m_nFiles = 0;
};

// A scene of the size with every pixel fill.
std::unique_ptr<CDIB> Scene(int nWidth, int nHeight, BYTE fill);
BYTE At(const CDIB& dib, int x, int y);
void Set(CDIB& dib, int x, int y, BYTE value);

// Every scene pixel: expected(x, y), or fill where that gives a negative value.
::testing::AssertionResult SceneIs(const CDIB& scene, const std::function<int(int x, int y)>& expected);

// One call of CSpriteNotify::Change, with the rectangles copied and where the sprite stood
// when it came.
struct Call {
  const CObject* pSender;
  DWORD dwHint;
  CRect rc1;
  bool bRect2;
  CRect rc2;
  CPoint position;

  friend bool operator==(const Call&, const Call&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Call& c);
};

class CRecordingNotify : public CSpriteNotify {
 public:
  void Change(CObject* pSender, DWORD dwHint, LPCRECT lpRect1, LPCRECT lpRect2) override;
  std::vector<Call> m_calls;
};

// A call as the table of expectations writes it; the second rectangle is null unless given.
Call Moved(const CSprite& sprite, CRect rcBefore, CRect rcAfter);
Call Changed(const CSprite& sprite, CRect rc);

}  // namespace sprite_test
