#include "CSceneCanvas.h"

#include <cstring>

CSceneCanvas::~CSceneCanvas() {
  // The sprites may outlive the canvas; they must not report to it then.
  if (m_pScene != nullptr)
    for (const CScene::Actor& actor : m_pScene->m_actors)
      if (actor.pSprite->m_pNotify == this) actor.pSprite->m_pNotify = nullptr;
}

BOOL CSceneCanvas::Create(CScene* pScene, CString& strError) {
  CDIB* pBackground = pScene->m_pBackground.get();
  if (pBackground == nullptr) {
    strError = "The scene has no background.";
    return FALSE;
  }
  if (!m_palette.Create(pBackground)) {
    strError = "The palette of the scene's background cannot be made.";
    return FALSE;
  }
  if (!m_dib.Create(pBackground->GetWidth(), pBackground->GetHeight())) {
    strError.Format("The scene's picture of %d x %d pixels cannot be made.", pBackground->GetWidth(),
                    pBackground->GetHeight());
    return FALSE;
  }
  const int nColors = pBackground->GetNumColors();
  std::memcpy(m_dib.GetColorTable(), pBackground->GetColorTable(), nColors * sizeof(RGBQUAD));
  m_dib.m_pBMI->bmiHeader.biClrUsed = pBackground->m_pBMI->bmiHeader.biClrUsed;
  m_pScene = pScene;
  for (const CScene::Actor& actor : pScene->m_actors) {
    actor.pSprite->MapColorsToPalette(&m_palette);
    actor.pSprite->m_pNotify = this;
  }
  m_damage.clear();
  Compose(m_dib.GetRect());
  return TRUE;
}

void CSceneCanvas::Change(CObject*, DWORD dwHint, LPCRECT lpRect1, LPCRECT lpRect2) {
  if (dwHint & SPRITE_HINT_MOVED) {
    Damage(lpRect1);
    Damage(lpRect2);
  } else if (dwHint & SPRITE_HINT_CHANGED) {
    Damage(lpRect1);
  }
}

void CSceneCanvas::Damage(LPCRECT lpRect) {
  if (lpRect == nullptr) return;
  // Cut to the buffer here, so that what the window is handed lies on it.
  CRect rc;
  const CRect rcBuffer = m_dib.GetRect();
  if (rc.IntersectRect(lpRect, &rcBuffer)) m_damage.push_back(WithFadingSprites(rc));
}

CRect CSceneCanvas::WithFadingSprites(CRect rc) const {
  // A dissolve pattern is laid from the corner of the block drawn: a fading sprite drawn in part
  // would show its pattern out of step with the rest of it. Such a sprite is drawn whole.
  // A sprite taken in may reach one met earlier, whatever their order: widen until nothing grows.
  const CRect rcBuffer = m_dib.GetRect();
  for (CRect rcBefore; rcBefore != rc;) {
    rcBefore = rc;
    for (const CScene::Actor& actor : m_pScene->m_actors) {
      if ((actor.pSprite->m_wDrawFlags & DRAW_DISSOLVE_MASK) == 0) continue;
      CRect rcSprite;
      actor.pSprite->GetRect(&rcSprite);
      CRect rcMeet;
      if (!rcMeet.IntersectRect(&rc, &rcSprite)) continue;
      rc.UnionRect(&rc, &rcSprite);
      rc.IntersectRect(&rc, &rcBuffer);
    }
  }
  return rc;
}

std::vector<CRect> CSceneCanvas::Update() {
  std::vector<CRect> damage;
  damage.swap(m_damage);
  for (const CRect& rc : damage) Compose(rc);
  return damage;
}

void CSceneCanvas::Compose(const CRect& rc) {
  if (m_pScene == nullptr) return;
  m_pScene->m_pBackground->CopyBits(&m_dib, rc.left, rc.top, rc.Width(), rc.Height(), rc.left, rc.top,
                                    DRAW_NO_TRANSPARENT, 0);
  for (const CScene::Actor& actor : m_pScene->m_actors) actor.pSprite->Render(&m_dib, &rc);
}
