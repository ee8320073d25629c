#include "CDIBPalette.h"

#include "AfxMessageBox.h"
#include "CDIB.h"
#include "CFileDialog.h"
#include "DIBLayout.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

constexpr WORD kPaletteVersion = 0x0300;
constexpr std::size_t kRecordHeaderBytes = offsetof(LOGPALETTE, palPalEntry);

// Room for a logical palette of n entries, version and count filled in.
dib::Block AllocateRecord(WORD nEntries) {
  dib::Block record = dib::Allocate(kRecordHeaderBytes + std::size_t{nEntries} * sizeof(PALETTEENTRY));
  if (!record) return record;
  const WORD head[2] = {kPaletteVersion, nEntries};
  std::memcpy(record.get(), head, sizeof head);
  return record;
}

PALETTEENTRY* EntriesOf(const dib::Block& record) {
  return reinterpret_cast<PALETTEENTRY*>(record.get() + kRecordHeaderBytes);
}

// Leaves the file handle open for its owner.
class MmioHandle {
 public:
  explicit MmioHandle(HMMIO h) : m_h(h) {}
  ~MmioHandle() {
    if (m_h != nullptr) mmioClose(m_h, MMIO_FHOPEN);
  }
  MmioHandle(const MmioHandle&) = delete;
  MmioHandle& operator=(const MmioHandle&) = delete;
  HMMIO get() const { return m_h; }

 private:
  HMMIO m_h;
};

// Whether the file holds every byte the chunk claims; leaves the position at the chunk's data.
bool HoldsChunk(HMMIO hmmio, const MMCKINFO& chunk) {
  constexpr DWORD kMaxOffset = 0x7FFFFFFF;
  if (chunk.dwDataOffset > kMaxOffset || chunk.cksize > kMaxOffset - chunk.dwDataOffset) return false;
  char last;
  const LONG lastOffset = static_cast<LONG>(chunk.dwDataOffset + chunk.cksize - 1);
  const bool bHeld = mmioSeek(hmmio, lastOffset, SEEK_SET) == lastOffset && mmioRead(hmmio, &last, 1) == 1;
  return mmioSeek(hmmio, static_cast<LONG>(chunk.dwDataOffset), SEEK_SET) == static_cast<LONG>(chunk.dwDataOffset) &&
         bHeld;
}

}  // namespace

int CDIBPalette::CreateFrom(const LOGPALETTE* pLogPalette) {
  const HPALETTE hPalette = ::CreatePalette(pLogPalette);
  if (hPalette == nullptr) return 0;
  DeleteObject();
  return Attach(hPalette);
}

int CDIBPalette::Create(CDIB* pDIB) {
  const int n = pDIB->GetNumColors();
  if (n == 0) return 0;
  dib::Block record = AllocateRecord(static_cast<WORD>(n));
  if (!record) return 0;
  const RGBQUAD* colors = pDIB->GetColorTable();
  PALETTEENTRY* entries = EntriesOf(record);
  for (int i = 0; i < n; ++i) entries[i] = PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
  return CreateFrom(reinterpret_cast<const LOGPALETTE*>(record.get()));
}

int CDIBPalette::Load(const char* pszFileName, LPPALETTEENTRY pEntries) {
  CString name;
  if (!CFileDialog::GivenOrChosen(pszFileName, TRUE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                                  "Palette files (*.PAL)|*.PAL|All files (*.*)|*.*||", nullptr, name))
    return 0;
  CFile file;
  if (!file.Open(name, CFile::modeRead | CFile::shareDenyWrite)) {
    AfxMessageBox(name + " not found!", MB_OK);
    return 0;
  }
  const int result = Load(&file, pEntries);
  file.Close();
  if (result == 0) AfxMessageBox("Failed to load palette file", MB_OK);
  return result;
}

int CDIBPalette::Load(CFile* pFile, LPPALETTEENTRY pEntries) { return Load(pFile->m_hFile, pEntries); }

int CDIBPalette::Load(HANDLE hFile, LPPALETTEENTRY pEntries) { return Read(hFile, pEntries) == DIBRefusal::kNone; }

int CDIBPalette::Load(HMMIO hmmio, LPPALETTEENTRY pEntries) { return Read(hmmio, pEntries) == DIBRefusal::kNone; }

DIBRefusal CDIBPalette::Read(HANDLE hFile, LPPALETTEENTRY pEntries) {
  MMIOINFO info{};
  // Handles fit 32 bits on both platforms.
  info.adwInfo[0] = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(hFile));
  const MmioHandle hmmio(mmioOpenA(nullptr, &info, MMIO_ALLOCBUF));
  if (hmmio.get() == nullptr) return DIBRefusal::kCannotOpen;
  return Read(hmmio.get(), pEntries);
}

DIBRefusal CDIBPalette::Read(HMMIO hmmio, LPPALETTEENTRY pEntries) {
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('P', 'A', 'L', ' ');
  if (mmioDescend(hmmio, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR) return DIBRefusal::kNotAPalette;
  MMCKINFO data{};
  data.ckid = mmioFOURCC('d', 'a', 't', 'a');
  if (mmioDescend(hmmio, &data, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) return DIBRefusal::kNoPaletteData;

  // The whole chunk must be there before anything is allocated for it.
  WORD head[2];
  if (data.cksize < sizeof head) return DIBRefusal::kRecordPastChunk;
  if (!HoldsChunk(hmmio, data)) return DIBRefusal::kPaletteDataPastEnd;
  if (mmioRead(hmmio, reinterpret_cast<HPSTR>(head), sizeof head) != sizeof head) return DIBRefusal::kUnreadable;
  const WORD count = head[1];
  if (head[0] != kPaletteVersion) return DIBRefusal::kPaletteVersion;
  if (count == 0) return DIBRefusal::kNoColors;
  const LONG entryBytes = LONG{count} * static_cast<LONG>(sizeof(PALETTEENTRY));
  if (data.cksize < sizeof head + entryBytes) return DIBRefusal::kRecordPastChunk;
  dib::Block record = AllocateRecord(count);
  if (!record) return DIBRefusal::kOutOfMemory;
  if (mmioRead(hmmio, reinterpret_cast<HPSTR>(EntriesOf(record)), entryBytes) != entryBytes)
    return DIBRefusal::kUnreadable;

  if (pEntries == nullptr)
    return CreateFrom(reinterpret_cast<const LOGPALETTE*>(record.get())) ? DIBRefusal::kNone : DIBRefusal::kOutOfMemory;
  std::memcpy(pEntries, EntriesOf(record), std::min<std::size_t>(count, dib::kMaxColors) * sizeof(PALETTEENTRY));
  return DIBRefusal::kNone;
}
