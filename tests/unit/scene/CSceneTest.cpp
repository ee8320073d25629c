#include "CScene.h"

#include "CBubble.h"
#include "CPhasedSprite.h"
#include "CSceneAnimator.h"
#include "SceneTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CString TextOf(const CBubble* pBubble) { return pBubble != nullptr ? pBubble->m_strText : CString("(none)"); }

struct ExpectedActor {
  const char* pszPicture;
  bool bPhased;
  int x, y;
  WORD wMode;
  WORD wMirror;
  int nColumns, nColumn, nPeriod;
  const char* pszBubbleStart;  // the first word of its bubble's text, or null
};

TEST(Scene, TheDemoSceneLoadsWithItsPicturesGridsAndBubbles) {
  CScene scene;
  CString strError;
  ASSERT_TRUE(scene.Load(KV2_DEMO_SCENE, strError)) << strError;
  ASSERT_TRUE(scene.m_pBackground);
  EXPECT_EQ(scene.m_pBackground->GetWidth(), 480);
  EXPECT_EQ(scene.m_pBackground->GetHeight(), 300);

  const ExpectedActor expected[] = {
      {"Tree.bmp", false, 330, 150, 0, 0, 1, 0, 0, nullptr},
      {"Tree.bmp", false, 20, 170, 0, DRAW_MIRROR_X, 1, 0, 0, nullptr},
      {"Star.bmp", true, 220, 110, ANIM_DISSOLVE, 0, 2, 0, 60, "Click"},
      {"Bird.bmp", true, 170, 60, ANIM_CYCLE, 0, 4, 0, 120, "Tweet!"},
      {"Bird.bmp", true, 380, 110, ANIM_CYCLE, DRAW_MIRROR_X, 4, 2, 150, nullptr},
      {"Korvi.bmp", true, 120, 190, ANIM_RANDOMPAUSE, 0, 4, 0, 90, "Hi,"},
  };
  ASSERT_EQ(scene.m_actors.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const ExpectedActor& e = expected[i];
    const CScene::Actor& actor = scene.m_actors[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(actor.strPicture, CString(e.pszPicture));
    EXPECT_EQ(actor.pSprite->m_x, e.x);
    EXPECT_EQ(actor.pSprite->m_y, e.y);
    EXPECT_EQ(actor.pSprite->m_wKind & ANIM_MODE_MASK, e.wMode);
    EXPECT_EQ(actor.pSprite->m_wDrawFlags, SPRITE_DRAW_DEFAULT | e.wMirror);
    const auto* pPhased = dynamic_cast<const CPhasedSprite*>(actor.pSprite);
    ASSERT_EQ(pPhased != nullptr, e.bPhased);
    if (pPhased != nullptr) {
      EXPECT_EQ(pPhased->m_nColumns, e.nColumns);
      EXPECT_EQ(pPhased->m_nColumn, e.nColumn);
      EXPECT_EQ(pPhased->m_nPeriod, e.nPeriod);
      EXPECT_EQ(pPhased->GetWidth() * e.nColumns, pPhased->m_pDIB->GetWidth());
    }
    if (e.pszBubbleStart == nullptr) {
      EXPECT_EQ(actor.pBubble, nullptr) << TextOf(actor.pBubble);
    } else {
      EXPECT_EQ(TextOf(actor.pBubble).Left(static_cast<int>(strlen(e.pszBubbleStart))), CString(e.pszBubbleStart));
      EXPECT_EQ(scene.BubbleOf(actor.pSprite), actor.pBubble);
      EXPECT_EQ(actor.pBubble->m_pNotify, &scene.m_bubbles.m_notify);
    }
  }
  // The bubble stated last is the head of the list: it starts on top.
  ASSERT_EQ(scene.m_bubbles.GetCount(), 3);
  EXPECT_EQ(static_cast<CBubble*>(scene.m_bubbles.GetHead()), scene.m_actors[5].pBubble);
  // And none covers another's text when the scene opens.
  std::vector<CRect> rects;
  for (POSITION pos = scene.m_bubbles.GetHeadPosition(); pos != nullptr;)
    rects.push_back(static_cast<CBubble*>(scene.m_bubbles.GetNext(pos))->m_rcFirst);
  for (size_t i = 0; i < rects.size(); ++i)
    for (size_t j = i + 1; j < rects.size(); ++j) {
      CRect rcBoth;
      EXPECT_FALSE(rcBoth.IntersectRect(&rects[i], &rects[j])) << i << " and " << j;
    }
}

TEST(Scene, StoringTheLoadedSceneWritesTheSameFileAndLoadsTheSame) {
  CScene scene;
  CString strError;
  ASSERT_TRUE(scene.Load(KV2_DEMO_SCENE, strError)) << strError;
  SceneFolder folder;
  const std::string copy = folder.Path("K2Scene.dat");
  ASSERT_TRUE(scene.Store(copy.c_str(), strError)) << strError;
  EXPECT_EQ(TempDir::ReadFile(copy), TempDir::ReadFile(KV2_DEMO_SCENE));

  // A sprite moved and a bubble raised are stored as they are now.
  scene.m_actors[5].pSprite->SetPosition(7, 8);
  ASSERT_TRUE(scene.Raise(scene.m_actors[2].pSprite));
  ASSERT_TRUE(scene.Store(copy.c_str(), strError)) << strError;
  CScene again;
  ASSERT_TRUE(again.Load(copy.c_str(), strError)) << strError;
  EXPECT_EQ(again.m_actors[5].pSprite->m_x, 7);
  EXPECT_EQ(again.m_actors[5].pSprite->m_y, 8);
  EXPECT_EQ(TextOf(static_cast<CBubble*>(again.m_bubbles.GetHead())), TextOf(scene.m_actors[2].pBubble));
  EXPECT_EQ(again.m_actors[2].pBubble, static_cast<CBubble*>(again.m_bubbles.GetHead()));
}

TEST(Scene, EveryShortenedSceneFileFailsAndLeavesTheSceneEmpty) {
  const std::string bytes = TempDir::ReadFile(KV2_DEMO_SCENE);
  SceneFolder folder;
  const std::string path = folder.Path("K2Scene.dat");
  for (size_t n = 0; n < bytes.size(); ++n) {
    folder.Write("K2Scene.dat", bytes.substr(0, n));
    CScene scene;
    CString strError;
    ASSERT_FALSE(scene.Load(path.c_str(), strError)) << n;
    EXPECT_FALSE(strError.IsEmpty()) << n;
    EXPECT_TRUE(scene.m_actors.empty() && scene.m_bubbles.IsEmpty() && !scene.m_pBackground) << n;
  }
}

struct DamagedCase {
  const char* pszName;
  StoredActor actor;
  const char* pszMessagePart;  // null: the scene is sound and loads
  StoredScene scene = {};
};

TEST(Scene, DamagedRecordsFailWithASentenceAndSoundOnesLoad) {
  const DamagedCase cases[] = {
      {"sound", {}, nullptr},
      {"bubble tied", {.nBubble = 0}, nullptr},
      {"an unknown mode is kept", {.wMode = 0x0300}, nullptr},
      {"a plain sprite needs no period", {.nPeriod = 0, .pClass = RUNTIME_CLASS(CSprite)}, nullptr},
      {"bubble past the list", {.nBubble = 1}, "refers to an object"},
      {"bubble below none", {.nBubble = -2}, "refers to an object"},
      {"the longest period", {.nPeriod = CSceneAnimator::kMaxPeriod}, nullptr},
      {"no period", {.nPeriod = 0}, "A sprite's period of 0 ms is outside 1 to 21474836 ms."},
      {"negative period", {.nPeriod = -100}, "period of -100 ms"},
      // 100 periods of random pause would pass 2^31 ms: the step would read as long overdue.
      {"a period the scheduler cannot wait for", {.nPeriod = CSceneAnimator::kMaxPeriod + 1}, "period of 21474837 ms"},
      {"an empty bubble entry", {}, "The scene's list of bubbles has an empty entry.", {.bEmptyBubbleEntry = true}},
      {"a 24-bit background", {}, "The picture \"Deep.bmp\" in ", {.strPictures = "Mixed", .strBackground = "Deep.bmp"}},
      {"a 24-bit sprite", {.strPicture = "Deep.bmp"}, ".kds is not one of 8 bits per pixel with a colour table.",
       {.strPictures = "Mixed", .strBackground = "Flat.bmp"}},
      {"not a sprite", {.pClass = RUNTIME_CLASS(CBubble)}, "class"},
      {"picture not in the archive", {.strPicture = "Missing.bmp"}, "The picture \"Missing.bmp\" cannot be read from "},
      {"no picture named", {.strPicture = ""}, "The picture \"\" cannot be read"},
  };
  SceneFolder folder;
  folder.Write("Mixed.kds", ImageArchive({{"Flat.bmp", TempDir::ReadFile(KV2_TEST_DATA "/bmp/good/magick-bmp3-8bit.bmp")},
                                          {"Deep.bmp", TempDir::ReadFile(KV2_TEST_DATA "/bmp/good/magick-bmp3-24bit.bmp")}}));
  const std::string path = folder.Path("K2Scene.dat");
  for (const DamagedCase& c : cases) {
    SCOPED_TRACE(c.pszName);
    WriteScene(path, c.actor, c.scene);
    CScene scene;
    CString strError;
    const BOOL bLoaded = scene.Load(path.c_str(), strError);
    if (c.pszMessagePart == nullptr) {
      ASSERT_TRUE(bLoaded) << strError;
      ASSERT_EQ(scene.m_actors.size(), 1u);
      EXPECT_EQ(scene.m_actors[0].pSprite->m_x, 10);
      EXPECT_EQ(scene.m_actors[0].pSprite->m_wKind & ANIM_MODE_MASK, c.actor.wMode);
      continue;
    }
    EXPECT_FALSE(bLoaded);
    EXPECT_NE(std::string(strError).find(c.pszMessagePart), std::string::npos) << strError;
    EXPECT_TRUE(scene.m_actors.empty() && scene.m_bubbles.IsEmpty() && !scene.m_pBackground);
  }
}

TEST(Scene, SpritesOfOnePictureShareItAndTooManySpritesAreRefused) {
  CScene scene;
  CString strError;
  ASSERT_TRUE(scene.Load(KV2_DEMO_SCENE, strError)) << strError;
  // Two trees, two birds: one picture each, the scene's, not theirs.
  EXPECT_EQ(scene.m_actors[0].pSprite->m_pDIB, scene.m_actors[1].pSprite->m_pDIB);
  EXPECT_EQ(scene.m_actors[3].pSprite->m_pDIB, scene.m_actors[4].pSprite->m_pDIB);
  EXPECT_FALSE(scene.m_actors[0].pSprite->m_bOwnDIB);

  // A short file cannot make the client load and draw without end.
  SceneFolder folder;
  const std::string path = folder.Path("K2Scene.dat");
  for (int i = 0; i < static_cast<int>(CScene::kMaxSprites) + 1; ++i)
    scene.Add(new CSprite, "Tree.bmp");
  ASSERT_TRUE(scene.Store(path.c_str(), strError)) << strError;
  EXPECT_FALSE(scene.Load(path.c_str(), strError));
  EXPECT_TRUE(scene.m_actors.empty());
}

TEST(Scene, ASceneOfManySpritesOfOneBigPictureLoadsThatPictureOnce) {
  SceneFolder folder;
  folder.Write("K2Scene.dat", TempDir::ReadFile(KV2_TEST_DATA "/scene/bad/sprites-without-end.dat"));
  CScene scene;
  CString strError;
  scene.Load(folder.Path("K2Scene.dat").c_str(), strError);
  for (const CScene::Actor& a : scene.m_actors)
    for (const CScene::Actor& b : scene.m_actors)
      if (a.strPicture == b.strPicture) EXPECT_EQ(a.pSprite->m_pDIB, b.pSprite->m_pDIB);
}

TEST(Scene, AFailedSceneWhoseListHoldsABubbleTwiceDeletesItOnce) {
  SceneFolder folder;
  folder.Write("K2Scene.dat", TempDir::ReadFile(KV2_TEST_DATA "/scene/bad/bubble-listed-twice.dat"));
  CScene scene;
  CString strError;
  // The sanitizers watch the bubbles go.
  EXPECT_FALSE(scene.Load(folder.Path("K2Scene.dat").c_str(), strError));
  EXPECT_FALSE(strError.IsEmpty());
  EXPECT_TRUE(scene.m_actors.empty() && scene.m_bubbles.IsEmpty());
}

TEST(Scene, AMissingOrDamagedPictureArchiveIsNamedInTheMessage) {
  TempDir folder;  // no picture archive
  const std::string path = folder.Path("K2Scene.dat");
  folder.Write("K2Scene.dat", TempDir::ReadFile(KV2_DEMO_SCENE));
  CScene scene;
  CString strError;
  ASSERT_FALSE(scene.Load(path.c_str(), strError));
  EXPECT_NE(std::string(strError).find("The picture \"Meadow.bmp\" cannot be read from "), std::string::npos) << strError;
  EXPECT_NE(std::string(strError).find("K2Scene.kds."), std::string::npos) << strError;

  const std::string kds = TempDir::ReadFile(DemoMediaFolder() + "K2Scene.kds");
  folder.Write("K2Scene.kds", kds.substr(0, kds.size() / 2));
  ASSERT_FALSE(scene.Load(path.c_str(), strError));
  EXPECT_NE(std::string(strError).find("cannot be read from "), std::string::npos) << strError;

  ASSERT_FALSE(scene.Load(folder.Path("Absent.dat").c_str(), strError));
  EXPECT_NE(std::string(strError).find("Absent.dat"), std::string::npos) << strError;
}

}  // namespace
