#include "CSceneAnimator.h"

#include "CPhasedSprite.h"

#include <algorithm>

CPhasedSprite* CSceneAnimator::Animated(CSprite* pSprite) {
  auto* pPhased = dynamic_cast<CPhasedSprite*>(pSprite);
  if (pPhased == nullptr) return nullptr;
  switch (pPhased->m_wKind & ANIM_MODE_MASK) {
    case ANIM_CYCLE:
    case ANIM_DISSOLVE:
    case ANIM_RANDOMPAUSE:
      return pPhased;
    default:
      return nullptr;
  }
}

void CSceneAnimator::Start(DWORD dwNow) {
  for (const CScene::Actor& actor : m_scene.m_actors)
    if (CPhasedSprite* pSprite = Animated(actor.pSprite)) pSprite->m_dwNextTime = dwNow;
}

int CSceneAnimator::Animate(DWORD dwNow) {
  int nSteps = 0;
  for (const CScene::Actor& actor : m_scene.m_actors) {
    CPhasedSprite* pSprite = Animated(actor.pSprite);
    if (pSprite == nullptr || !IsDue(dwNow, pSprite->m_dwNextTime)) continue;
    pSprite->Animate(dwNow);
    ++nSteps;
  }
  return nSteps;
}

DWORD CSceneAnimator::GetDelay(DWORD dwNow) const {
  DWORD dwDelay = kNothingDue;
  for (const CScene::Actor& actor : m_scene.m_actors) {
    const CPhasedSprite* pSprite = Animated(actor.pSprite);
    if (pSprite == nullptr) continue;
    if (IsDue(dwNow, pSprite->m_dwNextTime)) return 0;
    dwDelay = std::min(dwDelay, pSprite->m_dwNextTime - dwNow);
  }
  return dwDelay;
}
