// CSprite: the transparent index, rendering with and without a clip, mirrors, hit testing,
// notifications, the loads and archiving.
#include "CSprite.h"

#include "CDIBPalette.h"
#include "CPhasedSprite.h"
#include "SpriteTestSupport.h"
#include "framework/ArchiveFixtures.h"
#include "imaging/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace sprite_test;

namespace {

constexpr BYTE kFill = 0xEE;  // the scene's background, an index no test picture uses

// Index 7 at the top-left corner and scattered over the picture; every other pixel says where
// it is, and none of them is 7.
BYTE Speckled(int x, int y) { return (x + 2 * y) % 5 == 0 ? 7 : static_cast<BYTE>((x * 3 + y * 11) % 200 + 20); }

// Opaque everywhere but the corner that makes index 0 transparent.
BYTE Solid(int x, int y) { return x == 0 && y == 0 ? 0 : 5; }

CRect RectOf(const CSprite& sprite) {
  CRect rc;
  sprite.GetRect(&rc);
  return rc;
}

// What an unclipped render of the picture at (left, top) leaves in the scene, mirrored as the
// flags say, keyed by the picture's top-left index.
std::function<int(int, int)> Composed(const PixelFn& pixel, int nWidth, int nHeight, int left, int top, WORD wFlags) {
  const BYTE key = pixel(0, 0);
  return [=](int x, int y) -> int {
    if (x < left || x >= left + nWidth || y < top || y >= top + nHeight) return kFill;
    const int px = (wFlags & DRAW_MIRROR_X) ? left + nWidth - 1 - x : x - left;
    const int py = (wFlags & DRAW_MIRROR_Y) ? top + nHeight - 1 - y : y - top;
    const BYTE value = pixel(px, py);
    return value == key ? kFill : value;
  };
}

class Sprite : public ::testing::Test {
 protected:
  CPictures m_pictures;
};

}  // namespace

TEST_F(Sprite, IsARegisteredRuntimeClassWithItsDefaults) {
  const std::unique_ptr<CObject> pObject = CreateRegistered("CSprite", RUNTIME_CLASS(CSprite), RUNTIME_CLASS(CObject));
  ASSERT_NE(pObject, nullptr);

  const CSprite& sprite = static_cast<const CSprite&>(*pObject);
  EXPECT_EQ(sprite.m_pDIB, nullptr);
  EXPECT_EQ(sprite.m_nTransparent, 0);
  EXPECT_EQ(sprite.m_wDrawFlags, 0x1000);
  EXPECT_TRUE(sprite.m_bOwnDIB);
  EXPECT_EQ(sprite.m_x, 0);
  EXPECT_EQ(sprite.m_y, 0);
  EXPECT_EQ(sprite.m_z, 0);
  EXPECT_EQ(sprite.m_wKind, 4);
  EXPECT_EQ(sprite.m_pNotify, nullptr);
}

TEST_F(Sprite, HintsFlagsAndModesHaveTheirDocumentedValues) {
  const struct {
    const char* pszName;
    DWORD dwValue, dwDocumented;
  } constants[] = {
      {"SPRITE_HINT_MOVED", SPRITE_HINT_MOVED, 2},   {"SPRITE_HINT_CHANGED", SPRITE_HINT_CHANGED, 4},
      {"DRAW_DISSOLVE_MASK", DRAW_DISSOLVE_MASK, 0x001F}, {"DRAW_MIRROR_X", DRAW_MIRROR_X, 0x0100},
      {"DRAW_MIRROR_Y", DRAW_MIRROR_Y, 0x0200},       {"SPRITE_DRAW_DEFAULT", SPRITE_DRAW_DEFAULT, 0x1000},
      {"ANIM_MODE_MASK", ANIM_MODE_MASK, 0xFF00},     {"ANIM_CYCLE", ANIM_CYCLE, 0x0100},
      {"ANIM_DISSOLVE", ANIM_DISSOLVE, 0x0200},       {"ANIM_RANDOMPAUSE", ANIM_RANDOMPAUSE, 0x0400},
  };
  for (const auto& c : constants) EXPECT_EQ(c.dwValue, c.dwDocumented) << c.pszName;
}

// ---- The transparent index

TEST_F(Sprite, TopLeftIndexIsNeverDrawnNorHit) {
  constexpr int W = 12, H = 9, X = 3, Y = 2;
  for (const WORD wFlags : {WORD{0x1000}, WORD{0x1000 | DRAW_MIRROR_X | DRAW_MIRROR_Y}}) {
    SCOPED_TRACE(wFlags);
    CSprite sprite;
    ASSERT_TRUE(m_pictures.Load(sprite, W, H, Speckled));
    EXPECT_EQ(sprite.m_nTransparent, 7);
    sprite.m_x = X;
    sprite.m_y = Y;
    sprite.m_wDrawFlags = wFlags;
    const auto scene = Scene(20, 15, kFill);
    sprite.Render(scene.get());
    EXPECT_TRUE(SceneIs(*scene, Composed(Speckled, W, H, X, Y, wFlags)));
    for (int y = -1; y <= 16; ++y)
      for (int x = -1; x <= 21; ++x) {
        const bool inside = x > X && x < X + W && y > Y && y < Y + H;
        EXPECT_EQ(sprite.HitTest(CPoint(x, y)), inside && Speckled(x - X, y - Y) != 7) << x << "," << y;
      }
  }
}

TEST_F(Sprite, EveryLoadTakesTheTopLeftPixel) {
  const std::string path = m_pictures.Write(4, 3, [](int x, int y) { return static_cast<BYTE>(x == 0 && y == 0 ? 91 : 3); });
  CSprite byName;
  ASSERT_TRUE(byName.Load(path.c_str()));
  EXPECT_EQ(byName.m_nTransparent, 91);

  // The resource's pixels are stored bottom-up: its top-left pixel is the first of the last row.
  imaging_test::ProvideTestResources();
  CDIB reference;
  ASSERT_EQ(reference.LoadFromResource(imaging_test::kResourceBitmap), 1);
  const BYTE topLeft = reference.m_pBits[(reference.GetHeight() - 1) * ((reference.GetWidth() + 3) & ~3)];
  CSprite fromResource;
  fromResource.m_nTransparent = static_cast<BYTE>(topLeft + 1);
  ASSERT_TRUE(fromResource.LoadFromResource(imaging_test::kResourceBitmap));
  EXPECT_EQ(fromResource.m_nTransparent, topLeft);
}

// ---- Hit testing

TEST_F(Sprite, HitTestBoundsAreStrictOnTheLeftAndTop) {
  CSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 8, 6, Solid));
  sprite.m_x = 10;
  sprite.m_y = 20;
  const struct {
    CPoint point;
    BOOL bHit;
  } cases[] = {
      {{10, 21}, FALSE},  // left column
      {{11, 20}, FALSE},  // top row
      {{10, 20}, FALSE},
      {{11, 21}, TRUE},
      {{17, 25}, TRUE},   // bottom-right pixel
      {{18, 25}, FALSE},  // one past the right
      {{17, 26}, FALSE},  // one past the bottom
      {{9, 22}, FALSE},
      {{12, 19}, FALSE},
  };
  for (const auto& c : cases) EXPECT_EQ(sprite.HitTest(c.point), c.bHit) << c.point.x << "," << c.point.y;
}

TEST_F(Sprite, HitTestLooksAtTheUnmirroredPicture) {
  // Column 1 transparent, the rest opaque.
  CSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 8, 6, [](int x, int y) { return static_cast<BYTE>(x == 1 || (x == 0 && y == 0) ? 0 : 5); }));
  for (const WORD wFlags : {WORD{0}, DRAW_MIRROR_X, WORD{DRAW_MIRROR_X | DRAW_MIRROR_Y | 0x0008}}) {
    sprite.m_wDrawFlags = wFlags;
    EXPECT_FALSE(sprite.HitTest(CPoint(1, 2))) << wFlags;
    EXPECT_TRUE(sprite.HitTest(CPoint(6, 2))) << wFlags;
  }
}

// ---- Notifications

TEST_F(Sprite, MovesAndNewDrawFlagsAreReportedOnceEach) {
  CSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 8, 6, Solid));
  CRecordingNotify sink;
  sprite.m_pNotify = &sink;

  sprite.SetPosition(0, 0);
  sprite.SetPosition(3, 4);
  sprite.SetPosition(CPoint(3, 4));
  sprite.SetPosition(CPoint(-2, 5));
  sprite.SetDrawFlags(0x1000);
  sprite.SetDrawFlags(0x1000 | DRAW_MIRROR_X);
  sprite.SetDrawFlags(0x1000 | DRAW_MIRROR_X);
  sprite.SetDrawFlags(0);

  const std::vector<Call> expected = {
      Moved(sprite, {0, 0, 8, 6}, {3, 4, 11, 10}),
      Moved(sprite, {3, 4, 11, 10}, {-2, 5, 6, 11}),
      Changed(sprite, {-2, 5, 6, 11}),
      Changed(sprite, {-2, 5, 6, 11}),
  };
  EXPECT_EQ(sink.m_calls, expected);
  EXPECT_EQ(sprite.m_wDrawFlags, 0);

  // Without a sink the changes still happen.
  sprite.m_pNotify = nullptr;
  sprite.SetPosition(7, 7);
  sprite.SetDrawFlags(DRAW_MIRROR_Y);
  EXPECT_EQ(RectOf(sprite), CRect(7, 7, 15, 13));
  EXPECT_EQ(sprite.m_wDrawFlags, DRAW_MIRROR_Y);
  EXPECT_EQ(sink.m_calls.size(), expected.size());
}

// ---- Rendering

TEST_F(Sprite, WithoutAClipDrawsThePartInsideTheDestination) {
  constexpr int W = 12, H = 9;
  const CPoint positions[] = {{-5, -4}, {14, 10}, {-12, 0}, {20, 0}, {0, -9}, {0, 15},
                              {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MAX - 5, 3}, {3, INT_MIN + 2}};
  for (const CPoint& at : positions) {
    SCOPED_TRACE(::testing::Message() << at.x << "," << at.y);
    CSprite sprite;
    ASSERT_TRUE(m_pictures.Load(sprite, W, H, Speckled));
    sprite.m_x = at.x;
    sprite.m_y = at.y;
    const auto scene = Scene(20, 15, kFill);
    EXPECT_TRUE(sprite.Render(scene.get()));
    // Positions near the ends of the range lie wholly outside: nothing is drawn.
    const bool bFarOff = at.x < -100 || at.x > 100 || at.y < -100 || at.y > 100;
    EXPECT_TRUE(SceneIs(*scene, bFarOff ? [](int, int) { return int{kFill}; } : Composed(Speckled, W, H, at.x, at.y, 0)));
  }
}

TEST_F(Sprite, AClipThatMissesTheSpriteFailsAndDrawsNothing) {
  CSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 6, 5, Speckled));
  sprite.m_x = 4;
  sprite.m_y = 3;
  const CRect clips[] = {{0, 0, 4, 15}, {10, 0, 20, 15}, {0, 0, 20, 3}, {0, 8, 20, 15}, {5, 5, 5, 7}, {7, 6, 6, 7}};
  for (const CRect& clip : clips) {
    const auto scene = Scene(20, 15, kFill);
    EXPECT_FALSE(sprite.Render(scene.get(), &clip)) << clip.left << "," << clip.top;
    EXPECT_TRUE(SceneIs(*scene, [](int, int) { return int{kFill}; }));
  }
}

// Every mirror, every clip: inside the clip exactly what the unclipped render shows, outside it
// the scene untouched.
TEST_F(Sprite, AClippedSpriteShowsWhatTheUnclippedOneShows) {
  constexpr int W = 10, H = 7, X = 2, Y = 3;
  const CRect clips[] = {{0, 0, 5, 12},  {4, 5, 9, 8},   {8, 0, 16, 12}, {2, 3, 12, 10},
                         {0, 0, 16, 12}, {3, 4, 4, 5},   {11, 9, 12, 10}, {2, 3, 3, 10}};
  for (const WORD wFlags : {WORD{0}, DRAW_MIRROR_X, DRAW_MIRROR_Y, WORD{DRAW_MIRROR_X | DRAW_MIRROR_Y}}) {
    CSprite sprite;
    ASSERT_TRUE(m_pictures.Load(sprite, W, H, Speckled));
    sprite.m_x = X;
    sprite.m_y = Y;
    sprite.m_wDrawFlags = wFlags;
    const auto whole = Composed(Speckled, W, H, X, Y, wFlags);
    const auto unclipped = Scene(16, 12, kFill);
    sprite.Render(unclipped.get());
    ASSERT_TRUE(SceneIs(*unclipped, whole)) << "flags " << wFlags;
    for (const CRect& clip : clips) {
      SCOPED_TRACE(::testing::Message() << "flags " << wFlags << ", clip " << clip.left << "," << clip.top << ","
                                        << clip.right << "," << clip.bottom);
      const auto scene = Scene(16, 12, kFill);
      EXPECT_TRUE(sprite.Render(scene.get(), &clip));
      EXPECT_TRUE(SceneIs(*scene, [&](int x, int y) { return clip.PtInRect(CPoint(x, y)) ? whole(x, y) : kFill; }));
    }
  }
}

TEST_F(Sprite, MirroredAndClippedToItsLeftHalfItShowsItsRightHalfReversed) {
  // Column c of the picture holds 10 + c; the corner index 9 is keyed out.
  CSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 10, 4, [](int x, int y) { return static_cast<BYTE>(x == 0 && y == 0 ? 9 : 10 + x); }));
  sprite.SetDrawFlags(DRAW_MIRROR_X);
  const CRect clip(0, 0, 5, 4);
  const auto scene = Scene(12, 4, kFill);
  sprite.Render(scene.get(), &clip);
  EXPECT_TRUE(SceneIs(*scene, [](int x, int) { return x < 5 ? 10 + 9 - x : kFill; }));
}

// The clip is cut back to the destination, so a clip larger than the scene draws what no clip
// draws.
TEST_F(Sprite, AClipReachingOutsideTheDestinationIsCutToIt) {
  constexpr int W = 10, H = 7;
  const CRect clips[] = {{-50, -50, 100, 100}, {-3, -3, 30, 20}, {0, -1, 16, 12}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}};
  for (const CPoint at : {CPoint(-4, -2), CPoint(9, 8), CPoint(3, 3)}) {
    for (const CRect& clip : clips) {
      CSprite sprite;
      ASSERT_TRUE(m_pictures.Load(sprite, W, H, Speckled));
      sprite.m_x = at.x;
      sprite.m_y = at.y;
      sprite.m_wDrawFlags = DRAW_MIRROR_X;
      const auto scene = Scene(16, 12, kFill);
      EXPECT_TRUE(sprite.Render(scene.get(), &clip));
      EXPECT_TRUE(SceneIs(*scene, Composed(Speckled, W, H, at.x, at.y, DRAW_MIRROR_X))) << at.x << "," << clip.left;
    }
  }
}

// Wide enough for every vector loop of the copy and its tail; odd, so that the dissolve
// patterns' anchoring at the block's right edge shows.
TEST_F(Sprite, DrawFlagsReachTheCopyUnchanged) {
  constexpr int W = 71, H = 9, X = 4, Y = 2;
  // Which pixels of row k (from the block's top source row) and column c (from its right edge)
  // a dissolve mode draws.
  auto drawn = [](unsigned m, int r, int c) {
    static const int skip1[4] = {0, 2, 1, 3};
    switch (m) {
      case 0: return true;
      case 1: return c % 4 != skip1[r % 4];
      case 2: return c % 2 == r % 2;
      case 8: return r % 4 == 0 && c % 4 == 0;
      case 16: return false;
      default: return r % 2 == 0 && c % 2 == 0;
    }
  };
  for (const unsigned m : {0u, 1u, 2u, 4u, 5u, 8u, 16u})
    for (const WORD wMirror : {WORD{0}, DRAW_MIRROR_X, DRAW_MIRROR_Y, WORD{DRAW_MIRROR_X | DRAW_MIRROR_Y}}) {
      const WORD wFlags = static_cast<WORD>(0x1000 | wMirror | m);
      CSprite sprite;
      ASSERT_TRUE(m_pictures.Load(sprite, W, H, Speckled));
      sprite.m_x = X;
      sprite.m_y = Y;
      sprite.SetDrawFlags(wFlags);
      const auto scene = Scene(80, 12, kFill);
      sprite.Render(scene.get());
      std::vector<int> expected(80 * 12, kFill);
      for (int k = 0; k < H; ++k)
        for (int j = 0; j < W; ++j) {
          const BYTE value = Speckled((wFlags & DRAW_MIRROR_X) ? W - 1 - j : j, k);
          const int row = (wFlags & DRAW_MIRROR_Y) ? Y + H - 1 - k : Y + k;
          if (drawn(m, k, W - 1 - j) && value != 7) expected[row * 80 + X + j] = value;
        }
      EXPECT_TRUE(SceneIs(*scene, [&](int x, int y) { return expected[y * 80 + x]; })) << "flags " << wFlags;
    }
}

// ---- Loading

TEST_F(Sprite, TheLoadFromAFileTakesAnyDepth) {
  const std::string path = imaging_test::DataPath("bmp/good/magick-bmp3-24bit.bmp");
  CFile file(path.c_str(), CFile::modeRead);
  CSprite sprite;
  ASSERT_TRUE(sprite.LoadFromFile(&file));
  ASSERT_NE(sprite.m_pDIB, nullptr);
  EXPECT_EQ(sprite.m_pDIB->m_pBMI->bmiHeader.biBitCount, 24);
  // The pixels are read as indices, inside the buffer.
  const auto scene = Scene(64, 64, kFill);
  EXPECT_TRUE(sprite.Render(scene.get()));
  for (int i = 0; i < 64; ++i) sprite.HitTest(CPoint(i, i));
}

TEST_F(Sprite, TheLoadFromAResourceTakesAnyDepthWithoutAMessage) {
  imaging_test::ProvideTestResources();
  CSprite sprite;
  imaging_test::MessageBoxes boxes;
  ASSERT_TRUE(sprite.LoadFromResource(imaging_test::kResourceDeepBitmap));
  ASSERT_NE(sprite.m_pDIB, nullptr);
  EXPECT_EQ(sprite.m_pDIB->m_pBMI->bmiHeader.biBitCount, 24);
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(Sprite, TheLoadByNameRefusesAnotherDepthWithAMessage) {
  CSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 4, 4, Solid));
  imaging_test::MessageBoxes boxes;
  EXPECT_FALSE(sprite.Load(imaging_test::DataPath("bmp/good/magick-bmp3-24bit.bmp").c_str()));
  EXPECT_EQ(sprite.m_pDIB, nullptr);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "Only 8 bpp DIBs are supported");
  EXPECT_EQ(boxes.shown()[0].type, static_cast<UINT>(MB_OK));
}

TEST_F(Sprite, AFailedLoadLeavesNoPicture) {
  TempDir dir;
  dir.Write("damaged.bmp", BitmapFile(6, 4, Solid).substr(0, 700));
  const std::string damaged = dir.Path("damaged.bmp");
  CSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 6, 4, Solid));
  EXPECT_FALSE(sprite.Load(dir.Path("missing.bmp").c_str()));
  EXPECT_EQ(sprite.m_pDIB, nullptr);

  ASSERT_TRUE(m_pictures.Load(sprite, 6, 4, Solid));
  CFile file(damaged.c_str(), CFile::modeRead);
  EXPECT_FALSE(sprite.LoadFromFile(&file));
  EXPECT_EQ(sprite.m_pDIB, nullptr);

  ASSERT_TRUE(m_pictures.Load(sprite, 6, 4, Solid));
  EXPECT_FALSE(sprite.LoadFromResource(0x7777));
  EXPECT_EQ(sprite.m_pDIB, nullptr);
}

TEST_F(Sprite, ABorrowedPictureIsLoadedInPlaceAndNeverDeleted) {
  CDIB borrowed;
  CSprite sprite;
  sprite.m_pDIB = &borrowed;
  sprite.m_bOwnDIB = FALSE;
  ASSERT_TRUE(m_pictures.Load(sprite, 6, 4, Speckled));
  EXPECT_EQ(sprite.m_pDIB, &borrowed);
  EXPECT_EQ(borrowed.GetWidth(), 6);
  EXPECT_EQ(sprite.m_nTransparent, 7);

  // A failed load lets go of the borrowed picture, which stays as it was.
  TempDir dir;
  dir.Write("damaged.bmp", BitmapFile(6, 4, Solid).substr(0, 700));
  CFile damaged(dir.Path("damaged.bmp").c_str(), CFile::modeRead);
  EXPECT_FALSE(sprite.LoadFromFile(&damaged));
  EXPECT_EQ(sprite.m_pDIB, nullptr);
  EXPECT_EQ(borrowed.GetWidth(), 6);

  // A picture the sprite makes itself is its own, and its destructor frees it.
  ASSERT_TRUE(m_pictures.Load(sprite, 3, 3, Solid));
  EXPECT_NE(sprite.m_pDIB, &borrowed);
  EXPECT_TRUE(sprite.m_bOwnDIB);
}

// ---- Palettes

TEST_F(Sprite, RemappingTakesTheTransparentIndexAgain) {
  CSprite sprite;
  ASSERT_TRUE(m_pictures.Load(sprite, 6, 4, Speckled));
  ASSERT_EQ(sprite.m_nTransparent, 7);
  // The palette holds the pictures' colours in reverse: index i becomes 255 - i.
  std::vector<BYTE> block(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
  auto* pLog = reinterpret_cast<LOGPALETTE*>(block.data());
  pLog->palVersion = 0x300;
  pLog->palNumEntries = 256;
  for (int i = 0; i < 256; ++i) {
    const RGBQUAD c = ColorOf(255 - i);
    pLog->palPalEntry[i] = PALETTEENTRY{c.rgbRed, c.rgbGreen, c.rgbBlue, 0};
  }
  CPalette palette;
  ASSERT_TRUE(palette.CreatePalette(pLog));
  EXPECT_EQ(sprite.MapColorsToPalette(&palette), 1);
  EXPECT_EQ(At(*sprite.m_pDIB, 0, 0), 248);
  EXPECT_EQ(sprite.m_nTransparent, 248);
  EXPECT_EQ(At(*sprite.m_pDIB, 1, 0), 255 - Speckled(1, 0));
}

// ---- Without a picture

TEST_F(Sprite, WithoutAPictureNothingIsMeasuredDrawnOrHit) {
  CSprite sprite;
  sprite.m_x = 5;
  sprite.m_y = 6;
  EXPECT_EQ(sprite.GetWidth(), 0);
  EXPECT_EQ(sprite.GetHeight(), 0);
  EXPECT_EQ(RectOf(sprite), CRect(5, 6, 5, 6));
  const auto scene = Scene(8, 8, kFill);
  const CRect clip(0, 0, 8, 8);
  EXPECT_FALSE(sprite.Render(scene.get()));
  EXPECT_FALSE(sprite.Render(scene.get(), &clip));
  EXPECT_TRUE(SceneIs(*scene, [](int, int) { return int{kFill}; }));
  EXPECT_FALSE(sprite.HitTest(CPoint(6, 7)));
  CDIBPalette palette;
  ASSERT_EQ(palette.Create(scene.get()), 1);
  EXPECT_EQ(sprite.MapColorsToPalette(&palette), 0);
  sprite.m_nTransparent = 3;
  sprite.Initialize();
  EXPECT_EQ(sprite.m_nTransparent, 0);

  // And a sprite with a picture renders into no destination at all without harm.
  ASSERT_TRUE(m_pictures.Load(sprite, 3, 3, Solid));
  EXPECT_FALSE(sprite.Render(nullptr));
}

// ---- Archiving

TEST_F(Sprite, StoresItsPositionAsThreeLittleEndianValues) {
  TempDir dir;
  CSprite sprite;
  sprite.m_x = 1;
  sprite.m_y = -2;
  sprite.m_z = 0x01020304;
  sprite.m_wDrawFlags = DRAW_MIRROR_X;
  EXPECT_EQ(StoreBytes(dir, [&](CArchive& ar) { sprite.Serialize(ar); }),
            std::string("\x01\0\0\0\xFE\xFF\xFF\xFF\x04\x03\x02\x01", 12));
  EXPECT_EQ(StoreBytes(dir, [&](CArchive& ar) { ar << &sprite; }),
            std::string("\xFF\xFF\0\0\x07\0CSprite\x01\0\0\0\xFE\xFF\xFF\xFF\x04\x03\x02\x01", 25));
}

TEST_F(Sprite, LoadsItsPositionAndTakesTheTransparentIndexFromThePictureLoadedBefore) {
  TempDir dir;
  CSprite stored;
  stored.m_x = -40;
  stored.m_y = 300;
  stored.m_z = 7;
  const std::string bytes = StoreBytes(dir, [&](CArchive& ar) { ar << &stored << LONG{0x5A5A}; });

  CSprite loaded;
  ASSERT_TRUE(m_pictures.Load(loaded, 5, 4, Speckled));
  loaded.m_nTransparent = 1;
  loaded.m_wDrawFlags = DRAW_MIRROR_Y;
  CRecordingNotify sink;
  loaded.m_pNotify = &sink;
  LoadBytes(dir, bytes, [&](CArchive& ar) {
    const CRuntimeClass* pClass = ar.ReadClass(RUNTIME_CLASS(CSprite));
    ASSERT_EQ(pClass, RUNTIME_CLASS(CSprite));
    loaded.Serialize(ar);
    LONG after = 0;
    ar >> after;
    EXPECT_EQ(after, 0x5A5A);
  });
  EXPECT_EQ(loaded.m_x, -40);
  EXPECT_EQ(loaded.m_y, 300);
  EXPECT_EQ(loaded.m_z, 7);
  EXPECT_EQ(loaded.m_nTransparent, 7);
  EXPECT_EQ(loaded.m_wDrawFlags, DRAW_MIRROR_Y);
  EXPECT_TRUE(sink.m_calls.empty());

  // Created by name it has no picture yet, which it survives.
  LoadBytes(dir, bytes, [&](CArchive& ar) {
    CObject* pObject = nullptr;
    ar >> pObject;
    std::unique_ptr<CObject> owned(pObject);
    ASSERT_NE(pObject, nullptr);
    ASSERT_EQ(pObject->GetRuntimeClass(), RUNTIME_CLASS(CSprite));
    const auto& sprite = static_cast<const CSprite&>(*pObject);
    EXPECT_EQ(sprite.m_x, -40);
    EXPECT_EQ(sprite.m_y, 300);
    EXPECT_EQ(sprite.m_pDIB, nullptr);
  });
}
