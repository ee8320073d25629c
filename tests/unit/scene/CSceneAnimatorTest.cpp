#include "CSceneAnimator.h"

#include "CPhasedSprite.h"

#include <gtest/gtest.h>

namespace {

TEST(SceneAnimator, ATimeIsDueFromItsTickOnAcrossTheWrapOfTheCount) {
  struct {
    DWORD dwNow, dwDue;
    BOOL bDue;
  } const cases[] = {
      {100, 100, TRUE},         {101, 100, TRUE},        {99, 100, FALSE},
      {0x10, 0xFFFFFFF0, TRUE},  // due before the wrap, now just after it
      {0xFFFFFFF0, 0x10, FALSE},  // due just after the wrap
      {0, 0xFFFFFFFF, TRUE},    {0xFFFFFFFF, 0, FALSE},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CSceneAnimator::IsDue(c.dwNow, c.dwDue), c.bDue) << std::hex << c.dwNow << " " << c.dwDue;
}

// Runs the scene's clock from dwStart for nMillis, waking when the animator says.
int RunClock(CSceneAnimator& animator, DWORD dwStart, DWORD nMillis, DWORD& dwLongestWait) {
  int nSteps = 0;
  dwLongestWait = 0;
  for (DWORD now = dwStart; now - dwStart < nMillis;) {
    nSteps += animator.Animate(now);
    const DWORD dwDelay = animator.GetDelay(now);
    EXPECT_GT(dwDelay, 0u) << "a step was left due";
    if (dwDelay == 0 || dwDelay == CSceneAnimator::kNothingDue) break;
    dwLongestWait = std::max(dwLongestWait, dwDelay);
    now += dwDelay;
  }
  return nSteps;
}

TEST(SceneAnimator, SpritesGoOnSteppingWhenTheTickCountWraps) {
  CScene scene;
  CString strError;
  ASSERT_TRUE(scene.Load(KV2_DEMO_SCENE, strError)) << strError;
  auto* pBird = dynamic_cast<CPhasedSprite*>(scene.m_actors[3].pSprite);
  ASSERT_NE(pBird, nullptr);
  ASSERT_EQ(pBird->m_nPeriod, 120);

  CSceneAnimator animator(scene);
  const DWORD dwStart = 0xFFFFFFFF - 1000;  // the count wraps a second in
  animator.Start(dwStart);
  EXPECT_EQ(animator.GetDelay(dwStart), 0u);
  DWORD dwLongestWait = 0;
  const int nSteps = RunClock(animator, dwStart, 6000, dwLongestWait);

  // 6 s at 120 ms a cell: 50 steps of a four-cell beat end on cell 50 mod 4.
  EXPECT_EQ(pBird->m_nColumn, 50 % 4);
  EXPECT_GT(nSteps, 50 + 40);
  // No wait is longer than the bird's beat, the one that never pauses: the star's hold and the
  // mascot's long pause do not hold up the others.
  EXPECT_LE(dwLongestWait, 120u);
}

TEST(SceneAnimator, AStepThatFallsDueAtTickZeroIsDueThenAndNotNow) {
  CScene scene;
  CString strError;
  ASSERT_TRUE(scene.Load(KV2_DEMO_SCENE, strError)) << strError;
  CSceneAnimator animator(scene);
  const DWORD dwNow = 0u - 100;
  animator.Start(dwNow);
  // Every mode's next step one period on: off the mascot's first cell, the star fading in.
  for (const CScene::Actor& actor : scene.m_actors)
    if (CPhasedSprite* pSprite = CSceneAnimator::Animated(actor.pSprite)) {
      pSprite->m_nPeriod = 100;
      pSprite->SetCell(0, 1);
    }
  EXPECT_EQ(animator.Animate(dwNow), 4);
  for (const CScene::Actor& actor : scene.m_actors) {
    if (const CPhasedSprite* pSprite = CSceneAnimator::Animated(actor.pSprite)) {
      EXPECT_EQ(pSprite->m_dwNextTime, 0u);
    }
  }
}

TEST(SceneAnimator, SpritesThatDoNotAnimateAreNeverDue) {
  CScene scene;
  CString strError;
  ASSERT_TRUE(scene.Load(KV2_DEMO_SCENE, strError)) << strError;
  for (const CScene::Actor& actor : scene.m_actors)
    actor.pSprite->m_wKind = static_cast<WORD>((actor.pSprite->m_wKind & ~ANIM_MODE_MASK) | 0x0300);
  CSceneAnimator animator(scene);
  animator.Start(1000);
  EXPECT_EQ(animator.Animate(1000), 0);
  EXPECT_EQ(animator.GetDelay(1000), CSceneAnimator::kNothingDue);
}

}  // namespace
