#include "SpriteTestSupport.h"

#include "DIBLayout.h"

#include <cstring>

namespace sprite_test {

namespace {

template <typename T>
void Append(std::string& bytes, const T& value) {
  bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

RGBQUAD ColorOf(int i) {
  return RGBQUAD{static_cast<BYTE>(i * 7), static_cast<BYTE>(255 - i), static_cast<BYTE>(i), 0};
}

std::string BitmapFile(int nWidth, int nHeight, const PixelFn& pixel) {
  const int stride = (nWidth + 3) & ~3;
  const DWORD offBits = dib::kFileHeaderBytes + dib::kInfoHeaderBytes + 256 * sizeof(RGBQUAD);
  const DWORD size = offBits + static_cast<DWORD>(stride * nHeight);
  std::string bytes;
  Append<WORD>(bytes, dib::kTypeBM);
  Append<DWORD>(bytes, size);
  Append<DWORD>(bytes, 0);
  Append<DWORD>(bytes, offBits);
  BITMAPINFOHEADER info{};
  info.biSize = dib::kInfoHeaderBytes;
  info.biWidth = nWidth;
  info.biHeight = nHeight;
  info.biPlanes = 1;
  info.biBitCount = 8;
  info.biCompression = BI_RGB;
  Append(bytes, info);
  for (int i = 0; i < 256; ++i) Append(bytes, ColorOf(i));
  // Bottom row first; the padding is a value no test picture uses.
  for (int y = nHeight - 1; y >= 0; --y) {
    for (int x = 0; x < stride; ++x) bytes.push_back(static_cast<char>(x < nWidth ? pixel(x, y) : 0xEE));
  }
  return bytes;
}

std::string CPictures::Write(int nWidth, int nHeight, const PixelFn& pixel) {
  const std::string name = "picture" + std::to_string(m_nFiles++) + ".bmp";
  m_dir.Write(name, BitmapFile(nWidth, nHeight, pixel));
  return m_dir.Path(name);
}

BOOL CPictures::Load(CSprite& sprite, int nWidth, int nHeight, const PixelFn& pixel) {
  const std::string path = Write(nWidth, nHeight, pixel);
  CFile file(path.c_str(), CFile::modeRead);
  return sprite.LoadFromFile(&file);
}

std::unique_ptr<CDIB> Scene(int nWidth, int nHeight, BYTE fill) {
  auto scene = std::make_unique<CDIB>();
  EXPECT_EQ(scene->Create(nWidth, nHeight), 1);
  for (int y = 0; y < nHeight; ++y)
    for (int x = 0; x < nWidth; ++x) Set(*scene, x, y, fill);
  return scene;
}

BYTE At(const CDIB& dib, int x, int y) { return *dib.GetPixelAddress(x, y); }

void Set(CDIB& dib, int x, int y, BYTE value) { *dib.GetPixelAddress(x, y) = value; }

::testing::AssertionResult SceneIs(const CDIB& scene, const std::function<int(int x, int y)>& expected) {
  int nWrong = 0;
  auto failure = ::testing::AssertionFailure();
  for (int y = 0; y < scene.GetHeight(); ++y)
    for (int x = 0; x < scene.GetWidth(); ++x) {
      const int want = expected(x, y);
      if (want < 0 || At(scene, x, y) == want) continue;
      // The first few are enough to see the pattern.
      if (nWrong++ < 8) failure << "(" << x << "," << y << ") is " << int(At(scene, x, y)) << ", not " << want << "; ";
    }
  if (nWrong == 0) return ::testing::AssertionSuccess();
  return failure << nWrong << " pixels wrong";
}

std::ostream& operator<<(std::ostream& os, const Call& c) {
  auto rect = [&os](const CRect& rc) { os << "(" << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << ")"; };
  os << "{sender " << c.pSender << ", hint " << c.dwHint << ", ";
  rect(c.rc1);
  os << ", ";
  if (c.bRect2) rect(c.rc2);
  else os << "null";
  return os << ", at " << c.position.x << "," << c.position.y << "}";
}

void CRecordingNotify::Change(CObject* pSender, DWORD dwHint, LPCRECT lpRect1, LPCRECT lpRect2) {
  const auto* pSprite = static_cast<const CSprite*>(pSender);
  m_calls.push_back(Call{pSender, dwHint, lpRect1 ? CRect(*lpRect1) : CRect(-1, -1, -1, -1), lpRect2 != nullptr,
                         lpRect2 ? CRect(*lpRect2) : CRect(), CPoint(pSprite->m_x, pSprite->m_y)});
}

Call Moved(const CSprite& sprite, CRect rcBefore, CRect rcAfter) {
  return Call{&sprite, SPRITE_HINT_MOVED, rcBefore, true, rcAfter, rcAfter.TopLeft()};
}

Call Changed(const CSprite& sprite, CRect rc) {
  return Call{&sprite, SPRITE_HINT_CHANGED, rc, false, CRect(), rc.TopLeft()};
}

}  // namespace sprite_test
