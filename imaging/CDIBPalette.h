// CDIBPalette: a logical palette made from a bitmap's colours or read from a RIFF palette file.
#pragma once

#include "CFile.h"
#include "CPalette.h"
#include "DIBRefusal.h"

class CDIB;

class CDIBPalette : public CPalette {
 public:
  CDIBPalette() = default;

  // From the bitmap's colour table; 0 for a bitmap without colours.
  int Create(CDIB* pDIB);

  // The first "data" chunk of a RIFF "PAL " form. With pEntries null the palette is created and
  // held; otherwise the first min(count, 256) entries go to pEntries (room for 256) and the
  // entries past them are left as they were. Each form opens what the next one reads.
  // Null or empty: the user chooses the file. Failures are reported in message boxes.
  int Load(const char* pszFileName, LPPALETTEENTRY pEntries = nullptr);
  // The file stays open.
  int Load(CFile* pFile, LPPALETTEENTRY pEntries = nullptr);
  int Load(HANDLE hFile, LPPALETTEENTRY pEntries = nullptr);
  int Load(HMMIO hmmio, LPPALETTEENTRY pEntries = nullptr);

  // What the loads of an open file do, with the reason of a refusal.
  DIBRefusal Read(HANDLE hFile, LPPALETTEENTRY pEntries);
  DIBRefusal Read(HMMIO hmmio, LPPALETTEENTRY pEntries);

 private:
  // Replaces the held palette, if the new one can be made.
  int CreateFrom(const LOGPALETTE* pLogPalette);
};
