#include "CSceneCanvas.h"

#include "CPhasedSprite.h"
#include "CSceneAnimator.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class SceneCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CString strError;
    ASSERT_TRUE(m_scene.Load(KV2_DEMO_SCENE, strError)) << strError;
    ASSERT_TRUE(m_canvas.Create(&m_scene, strError)) << strError;
  }

  static std::string Pixels(const CDIB& dib) {
    const auto& h = dib.m_pBMI->bmiHeader;
    return std::string(reinterpret_cast<const char*>(dib.m_pBits), ((h.biWidth + 3) & ~3) * h.biHeight);
  }
  CSprite* Sprite(int i) const { return m_scene.m_actors[i].pSprite; }
  static CRect RectOf(const CSprite* pSprite) {
    CRect rc;
    pSprite->GetRect(&rc);
    return rc;
  }

  CScene m_scene;
  CSceneCanvas m_canvas;
};

TEST_F(SceneCanvasTest, AfterTimedStepsTheBufferIsTheSceneComposedAfresh) {
  const std::string initial = Pixels(m_canvas.m_dib);
  CSceneAnimator animator(m_scene);
  const DWORD dwStart = 0xFFFFFF00;
  animator.Start(dwStart);
  // Injected ticks: every 10 ms for 2.5 s, repainting what the sprites report each time.
  for (DWORD t = 0; t <= 2500; t += 10) {
    animator.Animate(dwStart + t);
    m_canvas.Update();
  }
  EXPECT_NE(Pixels(m_canvas.m_dib), initial);

  // The same state composed in one piece on a freshly loaded scene.
  CScene fresh;
  CString strError;
  ASSERT_TRUE(fresh.Load(KV2_DEMO_SCENE, strError)) << strError;
  for (size_t i = 0; i < m_scene.m_actors.size(); ++i) {
    CSprite* pNow = m_scene.m_actors[i].pSprite;
    CSprite* pFresh = fresh.m_actors[i].pSprite;
    pFresh->m_wDrawFlags = pNow->m_wDrawFlags;
    if (auto* pPhased = dynamic_cast<CPhasedSprite*>(pNow))
      static_cast<CPhasedSprite*>(pFresh)->SetCell(pPhased->m_nRow, pPhased->m_nColumn);
  }
  CSceneCanvas whole;
  ASSERT_TRUE(whole.Create(&fresh, strError)) << strError;
  EXPECT_TRUE(Pixels(m_canvas.m_dib) == Pixels(whole.m_dib));

  // The bird beat 2500 / 120 + 1 cells; the star is in its fourth dissolve step of its second
  // cell (29 steps a cell at 60 ms: 1740 ms, then 760 / 60 = 12 more: mode 0, held).
  EXPECT_EQ(static_cast<CPhasedSprite*>(Sprite(3))->m_nColumn, (2500 / 120 + 1) % 4);
  EXPECT_EQ(static_cast<CPhasedSprite*>(Sprite(2))->m_nColumn, 1);
  EXPECT_EQ(Sprite(2)->m_wDrawFlags & DRAW_DISSOLVE_MASK, 0);
}

TEST_F(SceneCanvasTest, OnlyTheRectanglesTheSpritesNameAreRepainted) {
  EXPECT_TRUE(m_canvas.Update().empty());

  auto* pBird = static_cast<CPhasedSprite*>(Sprite(3));
  pBird->NextCell();
  EXPECT_EQ(m_canvas.Update(), std::vector<CRect>{RectOf(pBird)});

  const CRect before = RectOf(pBird);
  pBird->SetPosition(CPoint(200, 70));
  EXPECT_EQ(m_canvas.Update(), (std::vector<CRect>{before, RectOf(pBird)}));

  // A move half off the canvas repaints only what lies on it; a hint of the bubbles' nothing.
  pBird->SetPosition(CPoint(460, -10));
  const std::vector<CRect> damage = m_canvas.Update();
  ASSERT_EQ(damage.size(), 2u);
  EXPECT_EQ(damage[1], CRect(460, 0, 480, 18));
  const CRect rc(0, 0, 10, 10);
  m_canvas.Change(pBird, 1, &rc, nullptr);
  EXPECT_TRUE(m_canvas.Update().empty());

  // The repainted canvas shows the bird where it is and nothing where it was.
  CScene fresh;
  CString strError;
  ASSERT_TRUE(fresh.Load(KV2_DEMO_SCENE, strError)) << strError;
  fresh.m_actors[3].pSprite->SetPosition(CPoint(460, -10));
  static_cast<CPhasedSprite*>(fresh.m_actors[3].pSprite)->SetCell(0, 1);
  CSceneCanvas whole;
  ASSERT_TRUE(whole.Create(&fresh, strError)) << strError;
  EXPECT_TRUE(Pixels(m_canvas.m_dib) == Pixels(whole.m_dib));
}

TEST_F(SceneCanvasTest, ARectangleThatMeetsAFadingSpriteRepaintsAllOfIt) {
  CSprite* pStar = Sprite(2);
  pStar->SetDrawFlags(static_cast<WORD>((pStar->m_wDrawFlags & ~DRAW_DISSOLVE_MASK) | 2));
  m_canvas.Update();
  // A neighbour's change that reaches one row into the star.
  const CRect rcStar = RectOf(pStar);
  const CRect rc(rcStar.left - 20, rcStar.bottom - 1, rcStar.right, rcStar.bottom + 20);
  m_canvas.Change(Sprite(0), SPRITE_HINT_CHANGED, &rc, nullptr);
  const std::vector<CRect> damage = m_canvas.Update();
  ASSERT_EQ(damage.size(), 1u);
  EXPECT_EQ(damage[0], CRect(rc.left, rcStar.top, rc.right, rc.bottom));

  CScene fresh;
  CString strError;
  ASSERT_TRUE(fresh.Load(KV2_DEMO_SCENE, strError)) << strError;
  fresh.m_actors[2].pSprite->m_wDrawFlags = pStar->m_wDrawFlags;
  CSceneCanvas whole;
  ASSERT_TRUE(whole.Create(&fresh, strError)) << strError;
  EXPECT_TRUE(Pixels(m_canvas.m_dib) == Pixels(whole.m_dib));
}

TEST_F(SceneCanvasTest, AFadingSpriteReachedThroughAnotherIsRepaintedWholeWhateverTheirOrder) {
  // The bird, later in the list, overlaps the star's right edge; both fade. A change that meets
  // only the bird takes it in, and through it the star.
  CSprite* pStar = Sprite(2);
  CSprite* pBird = Sprite(3);
  const CRect rcStar = RectOf(pStar);
  pBird->SetPosition(CPoint(rcStar.right - 2, rcStar.top));
  for (CSprite* pSprite : {pStar, pBird}) pSprite->SetDrawFlags(static_cast<WORD>(pSprite->m_wDrawFlags | 2));
  m_canvas.Update();
  const CRect rcBird = RectOf(pBird);
  const CRect rc(rcBird.right - 3, rcBird.top, rcBird.right + 5, rcBird.top + 3);
  m_canvas.Change(Sprite(0), SPRITE_HINT_CHANGED, &rc, nullptr);
  const std::vector<CRect> damage = m_canvas.Update();
  ASSERT_EQ(damage.size(), 1u);
  CRect rcAll;
  rcAll.UnionRect(&rcStar, &rcBird);
  rcAll.UnionRect(&rcAll, &rc);
  EXPECT_EQ(damage[0], rcAll);
}

TEST_F(SceneCanvasTest, EveryPixelPicksTheTopmostSpriteDrawnThereMirroredOrNot) {
  // What each sprite draws alone: the pixels that keep its colour on two different grounds.
  const int cx = m_canvas.m_dib.GetWidth();
  const int cy = m_canvas.m_dib.GetHeight();
  std::vector<int> topmost(static_cast<size_t>(cx) * cy, -1);
  for (size_t i = 0; i < m_scene.m_actors.size(); ++i) {
    CDIB ground[2];
    for (int g = 0; g < 2; ++g) {
      ASSERT_TRUE(ground[g].Create(cx, cy));
      std::memset(ground[g].m_pBits, g * 255, Pixels(ground[g]).size());
      Sprite(static_cast<int>(i))->Render(&ground[g], nullptr);
    }
    for (int y = 0; y < cy; ++y)
      for (int x = 0; x < cx; ++x)
        if (*ground[0].GetPixelAddress(x, y) == *ground[1].GetPixelAddress(x, y)) topmost[y * cx + x] = static_cast<int>(i);
  }
  ASSERT_NE(Sprite(1)->m_wDrawFlags & DRAW_MIRROR_X, 0);
  int nWrong = 0;
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x) {
      const int i = topmost[y * cx + x];
      const CSprite* pExpected = i < 0 ? nullptr : Sprite(i);
      if (m_scene.SpriteAt(CPoint(x, y)) != pExpected && nWrong++ < 5) ADD_FAILURE() << "at " << x << ", " << y;
    }
  EXPECT_EQ(nWrong, 0);
}

TEST_F(SceneCanvasTest, ABubbleIsPickedBeforeTheSpritesAndTheHeadFirst) {
  CBubble* pHead = static_cast<CBubble*>(m_scene.m_bubbles.GetHead());
  CBubble* pStarBubble = m_scene.BubbleOf(Sprite(2));
  // The star's bubble laid under the mascot's, which the scene opens beside it.
  pStarBubble->m_rcFirst = CRect(170, 140, 350, 180);
  CRect rcOverlap;
  ASSERT_TRUE(rcOverlap.IntersectRect(&pHead->m_rcFirst, &pStarBubble->m_rcFirst));
  EXPECT_EQ(m_scene.BubbleAt(CPoint(rcOverlap.left + 5, rcOverlap.top + 5)), pHead);
  ASSERT_TRUE(CScene::Raise(pStarBubble));
  EXPECT_EQ(m_scene.BubbleAt(CPoint(rcOverlap.left + 5, rcOverlap.top + 5)), pStarBubble);
  // The rounded corners are not the bubble's; its edges are.
  const CRect& rc = pStarBubble->m_rcFirst;
  EXPECT_EQ(m_scene.BubbleAt(CPoint(rc.right - 1, rc.bottom - 1)), nullptr);
  EXPECT_EQ(m_scene.BubbleAt(CPoint(rc.right - 1, (rc.top + rc.bottom) / 2)), pStarBubble);
  EXPECT_EQ(m_scene.BubbleAt(CPoint(rc.right, (rc.top + rc.bottom) / 2)), nullptr);
  EXPECT_EQ(m_scene.BubbleAt(CPoint(5, 5)), nullptr);
}

TEST_F(SceneCanvasTest, AClickHitsOnlyOpaquePixelsAndRaisesTheSpritesBubble) {
  CSprite* pKorvi = Sprite(5);
  CSprite* pBird = Sprite(3);
  ASSERT_EQ(pKorvi->m_x, 120);
  // The cell's corner is the key colour; its middle is the mascot.
  EXPECT_EQ(m_scene.SpriteAt(CPoint(122, 192)), nullptr);
  EXPECT_EQ(m_scene.SpriteAt(CPoint(152, 226)), pKorvi);
  EXPECT_EQ(m_scene.SpriteAt(CPoint(5, 5)), nullptr);

  CBubble* pKorviBubble = m_scene.BubbleOf(pKorvi);
  CBubble* pBirdBubble = m_scene.BubbleOf(pBird);
  ASSERT_EQ(static_cast<CBubble*>(m_scene.m_bubbles.GetHead()), pKorviBubble);
  CSprite* pHit = m_scene.SpriteAt(CPoint(190, 76));
  ASSERT_EQ(pHit, pBird);
  EXPECT_TRUE(m_scene.Raise(pHit));
  POSITION pos = m_scene.m_bubbles.GetHeadPosition();
  EXPECT_EQ(m_scene.m_bubbles.GetNext(pos), pBirdBubble);
  EXPECT_EQ(m_scene.m_bubbles.GetNext(pos), pKorviBubble);
  EXPECT_EQ(m_scene.m_bubbles.GetCount(), 3);
  // A sprite without a bubble raises nothing.
  EXPECT_FALSE(m_scene.Raise(Sprite(0)));
  EXPECT_TRUE(m_canvas.Update().empty());
}

}  // namespace
