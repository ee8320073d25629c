// CDIB: the 8-bit device-independent bitmap every picture of the system is.
//
// One header block of 1064 bytes (information header and room for 256 colour entries) and one
// pixel buffer of bottom-up rows, each padded to 4 bytes: the form that drawing and bitmap files
// take without conversion. Pixel coordinates count from the top-left corner.
#pragma once

#include "CArchive.h"
#include "CDC.h"
#include "CPalette.h"
#include "CRect.h"
#include "DIBRefusal.h"

#include <cstdint>

class ByteSource;

// Draw flags of CDIB::CopyBits: a 16-bit word, the bits not named here are ignored.
constexpr WORD DRAW_DISSOLVE_MASK = 0x001F;  // 0 every pixel, 1 3/4, 2 1/2, 8 1/16, 0x10 none, else 1/4
constexpr WORD DRAW_MIRROR_X = 0x0100;       // each source row read right to left
constexpr WORD DRAW_MIRROR_Y = 0x0200;       // the block's rows land in reverse order
// The transparent colour that keys nothing; any other value keys its low byte.
constexpr DWORD DRAW_NO_TRANSPARENT = 0xFFFFFFFF;

class CDIB : public CObject {
  DECLARE_SERIAL(CDIB)

 public:
  // A 16 × 16 bitmap with the grey ramp and all pixels 0.
  CDIB();
  ~CDIB() override;

  // Stores the bitmap file at the archive's place in its file, or loads it from there; the
  // archive goes on right after the bitmap.
  void Serialize(CArchive& ar) override;

  // The virtual operations below keep the order of their slots: other modules call them through
  // the table.

  // Attributes
  virtual int GetWidth() const;
  virtual int GetHeight() const;
  virtual CRect GetRect() const;

  // Loading: 1 loaded, 0 not, never a message. A failure leaves the bitmap, its ownership, the
  // name and the mapped flag as they were. A palette file name, when not null, replaces the
  // colour table after a successful load (an empty one asks the user).
  // A resource of type "DIB" named by the low 16 bits of nID, adopted in place.
  virtual int LoadFromResource(UINT nID);
  // "archive|member" for a member of archive.kds, any other name for a file; null or empty asks
  // the user.
  virtual int Load(const char* pszName, const char* pszPalette = nullptr);
  // The bitmap file at lOffset of the open file (of its expanded data when bCompressed).
  virtual int LoadFromFile(CFile* pFile, const char* pszPalette, int bCompressed, long lOffset);

  // Saving: the "BM" layout with all 256 colour entries, or the "BC" layout without them.
  virtual int SaveToFile(CFile* pFile, int bColorTable);
  // Null or empty asks the user; the extension picks the layout; failures are reported.
  virtual int Save(const char* pszName);

  // Operations
  virtual int Draw(CDC* pDC, int x, int y);
  // Makes the pixels indices into the palette, once.
  virtual int MapColorsToPalette(CPalette* pPalette);
  // Composes the block of this bitmap at (nSrcX, nSrcY) onto pDest at (nDestX, nDestY), keyed by
  // the low byte of crTransparent unless it is DRAW_NO_TRANSPARENT, mirrored and dissolved as
  // the low 16 bits of nFlags say. A block that does not lie wholly inside both bitmaps, or has
  // a negative size, draws nothing.
  virtual void CopyBits(CDIB* pDest, int nDestX, int nDestY, int nWidth, int nHeight, int nSrcX, int nSrcY,
                        DWORD crTransparent, UINT nFlags);

  int Create(int nWidth, int nHeight, const char* pszPalette = nullptr);
  // Copies the header and its colour entries; the pixels stay the caller's.
  int AttachMemory(const void* pHeader, BYTE* pBits);
  int LoadFromArchive(const char* pszArchive, const char* pszMember, const char* pszPalette);

  // What the loaders do, on bytes from a source the caller chose, with the reason of a refusal.
  // kNone installs the bitmap; the name, the mapped flag and the colours stay the caller's.
  // The bitmap file at nOffset of the source.
  DIBRefusal ReadBitmapFromSource(ByteSource& in, std::int64_t nOffset);
  // The bitmap file at the path, expanded when it is SZDD-compressed.
  DIBRefusal ReadBitmapFromPath(const char* pszPath);
  // The named member of the image archive the source holds. bNoMagicToCheck: the bytes were
  // expanded from a compressed archive, whose magic was checked instead; theirs is not looked at.
  DIBRefusal ReadArchiveMemberFromSource(ByteSource& in, bool bNoMagicToCheck, const char* pszMember);
  // The named member of the archive file at the path, plain or compressed.
  DIBRefusal ReadArchiveMemberFromPath(const char* pszArchive, const char* pszMember);

  // Colour count of an information or core header.
  static int GetNumColors(const void* pHeader);
  int GetNumColors() const;
  // Null outside the bitmap.
  BYTE* GetPixelAddress(int x, int y) const;
  RGBQUAD* GetColorTable() const;
  int SetColorTable(int nFirst, int nCount, const PALETTEENTRY* pEntries);
  int LoadColorTable(const char* pszPalette);

  // 0 unknown (after a message), 1 BM?, 2 BM, 3 BMZ, 4 BMC, 5 GIF, 6 TIF, 7 JPG.
  static int GetFileType(const char* pszPath);

  // Fields, as other modules read them.
  BITMAPINFO* m_pBMI = nullptr;  // always owned; null only after a failed Create
  BYTE* m_pBits = nullptr;       // bottom row first
  BOOL m_bOwnBits = TRUE;        // FALSE: the pixels belong to a caller or a resource
  BOOL m_bMapped = FALSE;        // the pixels are indices into a palette
  CString m_strName;             // where the bitmap came from

 private:
  void Install(BITMAPINFO* pBMI, BYTE* pBits, BOOL bOwnBits);
  void Release();
};
