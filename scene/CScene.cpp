#include "CScene.h"

#include "CArchiveException.h"
#include "CFileException.h"
#include "CPhasedSprite.h"
#include "CSceneAnimator.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <set>

IMPLEMENT_SERIAL(CScene, CObject, 0)

namespace {

constexpr LONG kNoBubble = -1;

// The part of the stored kind word that a scene sets: the animation mode. The low byte stays
// the class's own.
WORD WithMode(WORD wKind, WORD wMode) { return static_cast<WORD>((wKind & ~ANIM_MODE_MASK) | (wMode & ANIM_MODE_MASK)); }

// The point of the unmirrored picture that a mirrored sprite draws at point: HitTest looks at
// the picture as stored.
POINT OnPicture(const CSprite& sprite, POINT point) {
  CRect rc;
  sprite.GetRect(&rc);
  const auto turned = [](LONG nFirst, LONG nEnd, LONG n) {
    return static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t{nFirst} + nEnd - 1 - n, INT_MIN, INT_MAX));
  };
  if (sprite.m_wDrawFlags & DRAW_MIRROR_X) point.x = turned(rc.left, rc.right, point.x);
  if (sprite.m_wDrawFlags & DRAW_MIRROR_Y) point.y = turned(rc.top, rc.bottom, point.y);
  return point;
}

// Whether the pixel at point lies on what RoundRect draws for rc with corner ellipses of size:
// its pixel centre inside the rectangle and, in a corner, inside the corner's ellipse.
bool IsInRoundRect(const CRect& rc, const CSize& size, const POINT& point) {
  if (!rc.PtInRect(point)) return false;
  // In doubles: a scene file's rectangle may span more than an int.
  const double rx = std::min(static_cast<double>(size.cx), static_cast<double>(rc.right) - rc.left) / 2;
  const double ry = std::min(static_cast<double>(size.cy), static_cast<double>(rc.bottom) - rc.top) / 2;
  if (rx <= 0 || ry <= 0) return true;
  const double x = point.x + 0.5;
  const double y = point.y + 0.5;
  // The distance past the straight edges, towards the nearest corner.
  const double dx = std::max({0.0, rc.left + rx - x, x - (rc.right - rx)});
  const double dy = std::max({0.0, rc.top + ry - y, y - (rc.bottom - ry)});
  return (dx / rx) * (dx / rx) + (dy / ry) * (dy / ry) <= 1.0;
}

}  // namespace

CScene::~CScene() { Clear(); }

void CScene::Clear() {
  // The sprites first: they borrow the pictures.
  for (const Actor& actor : m_actors) delete actor.pSprite;
  m_actors.clear();
  m_pictures.clear();
  // An archive may list one bubble more than once; each is deleted once.
  std::set<CObject*> bubbles;
  while (!m_bubbles.IsEmpty()) bubbles.insert(m_bubbles.RemoveHead());
  for (CObject* pBubble : bubbles) delete pBubble;
  m_pBackground.reset();
}

CString CScene::PictureName(const CString& strMember) const { return m_strFolder + m_strPictures + "|" + strMember; }

void CScene::Add(CSprite* pSprite, const char* pszPicture, CBubble* pBubble) {
  m_actors.push_back({pSprite, pszPicture, pBubble});
}

void CScene::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_strPictures << m_strBackground;
    m_bubbles.Serialize(ar);
    ar.WriteCount(static_cast<DWORD>(m_actors.size()));
    for (const Actor& actor : m_actors) StoreActor(ar, actor);
    return;
  }
  Clear();
  ar >> m_strPictures >> m_strBackground;
  m_pBackground.reset(LoadPicture(m_strBackground));
  m_bubbles.Serialize(ar);
  // The client draws and hits every element as a bubble.
  if (m_bubbles.Find(nullptr) != nullptr) Refuse("The scene's list of bubbles has an empty entry.");
  const DWORD nSprites = ar.ReadCount();
  if (nSprites > kMaxSprites) CArchiveException::Throw(CArchiveException::genericException);
  for (DWORD n = nSprites; n > 0; --n) LoadActor(ar);
}

void CScene::StoreActor(CArchive& ar, const Actor& actor) const {
  LONG nBubble = kNoBubble;
  if (actor.pBubble != nullptr) {
    POSITION pos = m_bubbles.GetHeadPosition();
    for (LONG i = 0; pos != nullptr; ++i)
      if (m_bubbles.GetNext(pos) == actor.pBubble) nBubble = i;
  }
  const auto* pPhased = dynamic_cast<const CPhasedSprite*>(actor.pSprite);
  ar << actor.strPicture << nBubble << static_cast<WORD>(actor.pSprite->m_wKind & ANIM_MODE_MASK)
     << actor.pSprite->m_wDrawFlags << static_cast<LONG>(pPhased != nullptr ? pPhased->m_nPeriod : 0);
  ar.WriteClass(actor.pSprite->GetRuntimeClass());
  actor.pSprite->Serialize(ar);
}

void CScene::LoadActor(CArchive& ar) {
  CString strPicture;
  LONG nBubble = 0;
  WORD wMode = 0;
  WORD wDrawFlags = 0;
  LONG nPeriod = 0;
  ar >> strPicture >> nBubble >> wMode >> wDrawFlags >> nPeriod;
  if (nBubble < kNoBubble || nBubble >= m_bubbles.GetCount()) CArchiveException::Throw(CArchiveException::badIndex);
  const CRuntimeClass* pClass = ar.ReadClass(RUNTIME_CLASS(CSprite));
  std::unique_ptr<CSprite> pSprite(static_cast<CSprite*>(pClass->CreateObject()));
  if (!pSprite) CArchiveException::Throw(CArchiveException::badClass);
  // The picture first: the sprite's own data ends with the grid, which needs it.
  pSprite->m_pDIB = Picture(strPicture);
  pSprite->m_bOwnDIB = FALSE;
  pSprite->Serialize(ar);
  pSprite->m_wKind = WithMode(pSprite->m_wKind, wMode);
  pSprite->m_wDrawFlags = wDrawFlags;
  if (auto* pPhased = dynamic_cast<CPhasedSprite*>(pSprite.get())) {
    // A period of nothing would make the animation a busy loop; one whose longest wait passes
    // half the tick count's range would read as long overdue.
    if (nPeriod < 1 || nPeriod > CSceneAnimator::kMaxPeriod) {
      CString strReason;
      strReason.Format("A sprite's period of %ld ms is outside 1 to %ld ms.", static_cast<long>(nPeriod),
                       static_cast<long>(CSceneAnimator::kMaxPeriod));
      Refuse(strReason);
    }
    pPhased->m_nPeriod = nPeriod;
  }
  CBubble* pBubble = nBubble == kNoBubble ? nullptr : static_cast<CBubble*>(m_bubbles.GetAt(m_bubbles.FindIndex(nBubble)));
  m_actors.push_back({pSprite.release(), strPicture, pBubble});
}

CDIB* CScene::LoadPicture(const CString& strMember) {
  auto pDIB = std::make_unique<CDIB>();
  // An empty name would ask the user for a file.
  if (strMember.IsEmpty() || !pDIB->Load(PictureName(strMember)))
    Refuse("The picture \"" + strMember + "\" cannot be read from " + m_strFolder + m_strPictures + ".kds.");
  // The scene is composed in one palette made from the background, with one byte a pixel.
  if (pDIB->m_pBMI->bmiHeader.biBitCount != 8 || pDIB->GetNumColors() == 0)
    Refuse("The picture \"" + strMember + "\" in " + m_strFolder + m_strPictures +
           ".kds is not one of 8 bits per pixel with a colour table.");
  return pDIB.release();
}

void CScene::Refuse(const CString& strReason) {
  m_strRefusal = strReason;
  CArchiveException::Throw(CArchiveException::genericException);
}

CDIB* CScene::Picture(const CString& strMember) {
  std::unique_ptr<CDIB>& pPicture = m_pictures[std::string(strMember)];
  if (!pPicture) pPicture.reset(LoadPicture(strMember));
  return pPicture.get();
}

BOOL CScene::Load(const char* pszPath, CString& strError) {
  const CString strPath(pszPath);
  m_strFolder = strPath.Left(std::max(strPath.ReverseFind('\\'), strPath.ReverseFind('/')) + 1);
  m_strRefusal.Empty();
  try {
    CFile file(pszPath, CFile::modeRead | CFile::shareDenyWrite);
    CArchive ar(&file, CArchive::load);
    Serialize(ar);
    return TRUE;
  } catch (const CException& e) {
    strError = m_strRefusal.IsEmpty() ? e.GetErrorMessage() : m_strRefusal;
    Clear();
    return FALSE;
  }
}

BOOL CScene::Store(const char* pszPath, CString& strError) {
  try {
    CFile file(pszPath, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
    CArchive ar(&file, CArchive::store);
    Serialize(ar);
    ar.Close();
    file.Close();
    return TRUE;
  } catch (const CException& e) {
    strError = e.GetErrorMessage();
    return FALSE;
  }
}

CBubble* CScene::BubbleAt(const POINT& point) const {
  for (POSITION pos = m_bubbles.GetHeadPosition(); pos != nullptr;) {
    auto* pBubble = static_cast<CBubble*>(m_bubbles.GetNext(pos));
    if (IsInRoundRect(pBubble->m_rcFirst, pBubble->m_sizePair, point)) return pBubble;
  }
  return nullptr;
}

CSprite* CScene::SpriteAt(const POINT& point) const {
  for (auto it = m_actors.rbegin(); it != m_actors.rend(); ++it)
    if (it->pSprite->HitTest(OnPicture(*it->pSprite, point))) return it->pSprite;
  return nullptr;
}

CBubble* CScene::BubbleOf(const CSprite* pSprite) const {
  for (const Actor& actor : m_actors)
    if (actor.pSprite == pSprite) return actor.pBubble;
  return nullptr;
}

BOOL CScene::Raise(CBubble* pBubble) {
  if (pBubble == nullptr || pBubble->m_pNotify == nullptr) return FALSE;
  pBubble->m_pNotify->Change(pBubble, 1, nullptr, nullptr);
  return TRUE;
}

BOOL CScene::Raise(const CSprite* pSprite) { return Raise(BubbleOf(pSprite)); }
