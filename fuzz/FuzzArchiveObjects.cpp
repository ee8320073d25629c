// Any bytes as an archive of objects in a file in memory, loaded as each archived class by name
// or as any object.
// A sprite read so has no picture; it, and a sprite whose picture was there before its fields
// were read, then go through every operation, which must stay safe with whatever was read.
#include "CArchive.h"
#include "CArchiveException.h"
#include "CBubble.h"
#include "CBubbleList.h"
#include "CDIB.h"
#include "CPhasedSprite.h"
#include "FuzzInput.h"
#include "MemoryFile.h"

#include <climits>
#include <cstdlib>
#include <set>

namespace {

// The archived classes; null, last, asks for any object.
const CRuntimeClass* const kRequested[] = {
    RUNTIME_CLASS(CDIB),   RUNTIME_CLASS(CBubble),       RUNTIME_CLASS(CBubbleList),
    RUNTIME_CLASS(CSprite), RUNTIME_CLASS(CPhasedSprite), nullptr,
};

// Plain, every dissolve pattern, both mirrors.
const WORD kDrawFlags[] = {0, 1, 2, 3, 4, 8, 16, DRAW_MIRROR_X | 2, DRAW_MIRROR_Y | 8, DRAW_MIRROR_X | DRAW_MIRROR_Y};

// A list never deletes its elements: they, and the elements of the lists among them, are the
// reader's. One may be in a list more than once, or be a list holding itself.
void Collect(CObject* pOb, std::set<CObject*>& owned) {
  if (!owned.insert(pOb).second) return;
  if (auto* pList = dynamic_cast<CObList*>(pOb))
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) Collect(pList->GetNext(pos), owned);
}

void Delete(CObject* pOb) {
  std::set<CObject*> owned;
  Collect(pOb, owned);
  for (CObject* p : owned) delete p;
}

// One canvas for the process: what is drawn on it is never read.
CDIB& Canvas() {
  static CDIB scene;
  if (scene.GetWidth() == 0 && !scene.Create(16, 12)) std::abort();
  return scene;
}

const RECT kClips[] = {{2, 1, 9, 7}, {-5, -5, 40, 40}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}};

void Draw(CSprite& sprite) {
  CDIB& scene = Canvas();
  for (WORD wFlags : kDrawFlags) {
    sprite.SetDrawFlags(wFlags);
    sprite.Render(&scene);
  }
  // Clipping is the same whatever is drawn: plain and mirrored both ways suffice.
  for (WORD wFlags : {WORD{DRAW_MIRROR_X | DRAW_MIRROR_Y}, WORD{0}}) {
    sprite.SetDrawFlags(wFlags);
    for (const RECT& rc : kClips) sprite.Render(&scene, &rc);
  }
  RECT rc;
  sprite.GetRect(&rc);
  const POINT points[] = {{rc.left, rc.top}, {Step(rc.left, 1), Step(rc.top, 1)}, {Step(rc.right, -1), Step(rc.bottom, -1)},
                          {rc.right, rc.bottom}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}, {3, 2}};
  for (const POINT& point : points) sprite.HitTest(point);
}

void Animate(CPhasedSprite& sprite) {
  const int grids[][2] = {{sprite.m_nRows, sprite.m_nColumns}, {2, 3}, {0, -1}, {INT_MAX, INT_MAX}, {INT_MIN + 1, 1}};
  for (const auto& grid : grids) {
    sprite.SetNumCells(grid[0], grid[1]);
    sprite.SetCell(grid[0] - 1, grid[1] - 1);
    sprite.SetCellRow(1);
    sprite.SetCellColumn(INT_MAX);
    for (WORD wMode : {ANIM_CYCLE, ANIM_DISSOLVE, ANIM_RANDOMPAUSE}) {
      sprite.m_wKind = static_cast<WORD>(SPRITE_KIND_PHASED | wMode);
      for (DWORD dwNow = 0; dwNow < 6; ++dwNow) sprite.Animate(dwNow);
    }
    // The cell a grid leaves, drawn whole and clipped; every flag and clip is drawn below.
    sprite.Render(&Canvas());
    sprite.Render(&Canvas(), &kClips[0]);
  }
}

// The measures, drawing, hit tests and moves of any sprite, and a phased one's grid.
void Exercise(CSprite& sprite) {
  Draw(sprite);
  if (auto* pPhased = dynamic_cast<CPhasedSprite*>(&sprite)) Animate(*pPhased);
  sprite.SetPosition(INT_MAX - 2, INT_MIN + 1);
  Draw(sprite);
  sprite.SetPosition(-1, -1);
  Draw(sprite);
}

// A sprite that owns a small picture before the archive's fields are read into it.
template <class Sprite>
void LoadOverPicture(CFile& file) {
  Sprite sprite;
  sprite.m_pDIB = new CDIB;
  if (!sprite.m_pDIB->Create(7, 5)) std::abort();
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) *sprite.m_pDIB->GetPixelAddress(x, y) = static_cast<BYTE>((x + y) % 3);
  try {
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    sprite.Serialize(ar);
  } catch (const CException&) {
  }
  Exercise(sprite);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryFile file(data, size);
  // Every read of these bytes that gets past the class check reads the same object: a read as
  // any object adds nothing after a read by name did, and one sprite is exercised.
  bool bClassTaken = false, bExercised = false;
  for (const CRuntimeClass* pRequested : kRequested) {
    if (pRequested == nullptr && bClassTaken) break;
    CObject* pOb = nullptr;
    try {
      file.SeekToBegin();
      CArchive ar(&file, CArchive::load);
      pOb = ar.ReadObject(pRequested);
    } catch (const CArchiveException& e) {
      bClassTaken = bClassTaken || e.m_cause != CArchiveException::badClass;
    } catch (const CException&) {
    }
    if (pOb != nullptr && pRequested != nullptr && !pOb->IsKindOf(pRequested)) std::abort();
    bClassTaken = bClassTaken || pOb != nullptr;
    if (auto* pSprite = dynamic_cast<CSprite*>(pOb); pSprite != nullptr && !bExercised) {
      Exercise(*pSprite);
      bExercised = true;
    }
    Delete(pOb);
  }
  LoadOverPicture<CSprite>(file);
  LoadOverPicture<CPhasedSprite>(file);
  return 0;
}
