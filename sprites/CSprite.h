// CSprite: a positioned, colour-keyed picture. An 8-bit CDIB placed at a point of a scene,
// composed into scene bitmaps with the picture's top-left index left out, hit-tested pixel by
// pixel, and reporting its moves and changes of look to an optional CSpriteNotify.
//
// Without a picture (before a load, after a failed one) a sprite measures 0 × 0, draws nothing,
// hits nothing and maps nothing; every operation stays safe.
#pragma once

#include "CDIB.h"
#include "CSpriteNotify.h"

// The low byte of m_wKind: which class the sprite is.
constexpr WORD SPRITE_KIND_SPRITE = 0x0004;
constexpr WORD SPRITE_KIND_PHASED = 0x0008;
// Set in m_wDrawFlags from construction; no operation reads it.
constexpr WORD SPRITE_DRAW_DEFAULT = 0x1000;

class CSprite : public CObject {
  DECLARE_SERIAL(CSprite)

 public:
  CSprite();
  // Deletes the picture if the sprite owns it; the sink is never touched.
  ~CSprite() override;

  // x, y and z, 32 bits each; loading then runs the virtual Initialize, so the picture must
  // already be there.
  void Serialize(CArchive& ar) override;

  // The virtual operations below keep the order of their slots: other modules call them through
  // the table.

  // Attributes
  // The picture's size; a phased sprite answers its cell's.
  virtual int GetWidth() const;
  virtual int GetHeight() const;
  // (m_x, m_y) and the size above.
  virtual void GetRect(LPRECT lpRect) const;

  // Loading, each into the existing picture or a new one, then the virtual Initialize. A failure
  // leaves the sprite without a picture (an owned one is deleted) and returns FALSE.
  // A resource of type "DIB"; no check of the depth.
  virtual BOOL LoadFromResource(UINT nID);
  // An archive member or a file, or the user's choice for an empty name; only 8 bits per pixel,
  // any other depth is reported in a message box.
  virtual BOOL Load(const char* pszName, const char* pszPalette = nullptr);
  // The uncompressed bitmap file at the start of the open file; no check of the depth.
  virtual BOOL LoadFromFile(CFile* pFile, const char* pszPalette = nullptr);

  // Operations
  // Remaps the picture and takes the transparent index from it again; the grid of a phased
  // sprite stays as it was.
  virtual int MapColorsToPalette(CPalette* pPalette);
  // Composes the sprite into pDest inside lpClip, or inside pDest itself when lpClip is null.
  // FALSE when a clip is given and misses the sprite.
  virtual BOOL Render(CDIB* pDest, LPCRECT lpClip = nullptr);
  // Whether the point lies on an opaque pixel. The sprite's left column and top row never hit,
  // and the draw flags are not looked at.
  virtual BOOL HitTest(const POINT& point) const;
  // Moves the sprite and reports SPRITE_HINT_MOVED; a move to where it is reports nothing.
  virtual void SetPosition(const POINT& point);

  // Overridables
  // After each load: the picture's top-left pixel becomes the transparent index.
  virtual void Initialize();

  void SetPosition(int x, int y);
  // Replaces the draw flags and reports SPRITE_HINT_CHANGED; the same flags report nothing.
  void SetDrawFlags(WORD wFlags);

  // Fields, as owners read and set them.
  CDIB* m_pDIB = nullptr;
  BYTE m_nTransparent = 0;
  WORD m_wDrawFlags = SPRITE_DRAW_DEFAULT;
  // Cleared by an owner that lends the sprite a picture. A picture a load creates is the
  // sprite's own, so a load into an empty sprite sets it again.
  BOOL m_bOwnDIB = TRUE;
  int m_x = 0;
  int m_y = 0;
  int m_z = 0;  // stored and loaded with the position, read by no operation
  // Low byte: SPRITE_KIND_*; high byte: a phased sprite's animation mode.
  WORD m_wKind = SPRITE_KIND_SPRITE;
  CSpriteNotify* m_pNotify = nullptr;  // borrowed

 protected:
  // Render and HitTest of the block of the picture whose top-left corner is (nLeft, nTop) and
  // whose size is the sprite's: the whole picture here, one cell in a phased sprite.
  BOOL RenderBlock(CDIB* pDest, LPCRECT lpClip, int nLeft, int nTop);
  BOOL HitTestBlock(const POINT& point, int nLeft, int nTop) const;
  void Notify(DWORD dwHint, LPCRECT lpRect1, LPCRECT lpRect2);
  // SPRITE_HINT_CHANGED with the current rectangle, when a sink is attached.
  void NotifyChanged();

 private:
  // The shared steps of the loads; bRequire8 is the load by name's depth check.
  template <class Fn>
  BOOL LoadWith(Fn load, bool bRequire8);
  void DropPicture();
};
