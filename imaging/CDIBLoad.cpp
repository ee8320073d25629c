#include "CDIB.h"

#include "AfxModuleState.h"
#include "CFileDialog.h"
#include "DIBLayout.h"
#include "FileSource.h"
#include "ImageArchiveFormat.h"

#include <cstring>
#include <memory>
#include <span>
#include <utility>

namespace {

constexpr UINT kOpenFlags = CFile::modeRead | CFile::shareDenyWrite;

// A bitmap read in full, not yet installed: nothing of the object changes until it is.
struct LoadedBitmap {
  dib::Block header;
  dib::Block bits;
};

BITMAPINFOHEADER FromCore(const BITMAPCOREHEADER& core) {
  BITMAPINFOHEADER info{};
  info.biSize = dib::kInfoHeaderBytes;
  info.biWidth = core.bcWidth;
  info.biHeight = core.bcHeight;
  info.biPlanes = core.bcPlanes;
  info.biBitCount = core.bcBitCount;
  return info;
}

// n bytes at the position; bytes the source does not hold are refused with `pastEnd`.
DIBRefusal ReadAt(ByteSource& in, std::int64_t position, void* pBuffer, std::int64_t nBytes, DIBRefusal pastEnd) {
  if (!in.IsReadable()) return DIBRefusal::kUnreadable;
  if (!in.Holds(position, nBytes) || !in.Seek(position)) return pastEnd;
  return in.Read(pBuffer, nBytes) ? DIBRefusal::kNone : in.ReadFailure();
}

DIBRefusal ReadColorTable(ByteSource& in, std::int64_t position, bool bCore, int nColors, RGBQUAD* table) {
  constexpr DIBRefusal kPastEnd = DIBRefusal::kColorTablePastEnd;
  if (!bCore) return ReadAt(in, position, table, std::int64_t{nColors} * sizeof(RGBQUAD), kPastEnd);
  // One read for the whole table, not one per colour.
  RGBTRIPLE triples[dib::kMaxColors];
  if (nColors > dib::kMaxColors) return DIBRefusal::kTooManyColors;
  const DIBRefusal refusal = ReadAt(in, position, triples, std::int64_t{nColors} * sizeof(RGBTRIPLE), kPastEnd);
  if (refusal != DIBRefusal::kNone) return refusal;
  for (int i = 0; i < nColors; ++i) table[i] = RGBQUAD{triples[i].rgbtBlue, triples[i].rgbtGreen, triples[i].rgbtRed, 0};
  return DIBRefusal::kNone;
}

struct Headers {
  BITMAPFILEHEADER file;
  BITMAPINFOHEADER info;  // a core header converted
  bool core;
};

// The file header and the bitmap header after it, whichever kind that is.
DIBRefusal ReadHeaders(ByteSource& in, std::int64_t base, Headers& h) {
  constexpr DIBRefusal kCut = DIBRefusal::kHeaderCut;
  if (DIBRefusal r = ReadAt(in, base, &h.file, sizeof h.file, kCut); r != DIBRefusal::kNone) return r;
  if (h.file.bfType != dib::kTypeBM && h.file.bfType != dib::kTypeBC) return DIBRefusal::kNotABitmap;
  // 40 bytes are there whichever header it is.
  const std::int64_t at = base + dib::kFileHeaderBytes;
  if (DIBRefusal r = ReadAt(in, at, &h.info, sizeof h.info, kCut); r != DIBRefusal::kNone) return r;
  h.core = h.info.biSize == dib::kCoreHeaderBytes;
  if (!h.core) return h.info.biSize == dib::kInfoHeaderBytes ? DIBRefusal::kNone : DIBRefusal::kHeaderSize;
  BITMAPCOREHEADER core;
  if (DIBRefusal r = ReadAt(in, at, &core, sizeof core, kCut); r != DIBRefusal::kNone) return r;
  h.info = FromCore(core);
  return DIBRefusal::kNone;
}

// The bitmap file at `base` of the source. Whatever fails, nothing is kept; colour entries past
// the file's own are zero. Everything the headers claim is checked against the source before
// anything is allocated for it.
DIBRefusal ReadBitmapBlocks(ByteSource& in, std::int64_t base, LoadedBitmap& out) {
  Headers h;
  if (DIBRefusal r = ReadHeaders(in, base, h); r != DIBRefusal::kNone) return r;
  if (h.file.bfSize < h.file.bfOffBits) return DIBRefusal::kSizeBelowOffset;
  const std::int64_t pixelBytes = h.file.bfSize - h.file.bfOffBits;
  const std::int64_t pixelStart = base + h.file.bfOffBits;
  if (DIBRefusal r = dib::CheckLoadable(h.info, pixelBytes); r != DIBRefusal::kNone) return r;
  const bool bTable = h.file.bfType == dib::kTypeBM;
  const int nColors = bTable ? CDIB::GetNumColors(&h.info) : 0;
  const std::int64_t headerBytes = h.core ? dib::kCoreHeaderBytes : dib::kInfoHeaderBytes;
  const std::int64_t tableStart = base + dib::kFileHeaderBytes + headerBytes;
  if (!in.Holds(tableStart, std::int64_t{nColors} * (h.core ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD))))
    return DIBRefusal::kColorTablePastEnd;
  if (!in.Holds(pixelStart, pixelBytes)) return DIBRefusal::kPixelsPastEnd;

  dib::Block header = dib::Allocate(dib::kHeaderBlockBytes);
  if (!header) return DIBRefusal::kOutOfMemory;
  std::memcpy(header.get(), &h.info, sizeof h.info);
  RGBQUAD* table = reinterpret_cast<RGBQUAD*>(header.get() + dib::kInfoHeaderBytes);
  if (DIBRefusal r = ReadColorTable(in, tableStart, h.core, nColors, table); r != DIBRefusal::kNone) return r;

  dib::Block bits = dib::AllocateForOverwrite(pixelBytes);
  if (!bits) return DIBRefusal::kOutOfMemory;
  if (DIBRefusal r = ReadAt(in, pixelStart, bits.get(), pixelBytes, DIBRefusal::kPixelsPastEnd); r != DIBRefusal::kNone)
    return r;
  out = LoadedBitmap{std::move(header), std::move(bits)};
  return DIBRefusal::kNone;
}

// Where the first directory entry named like the member, ignoring case, puts its bitmap.
DIBRefusal FindMemberOffset(ByteSource& in, const kds::Header& header, bool bNoMagicToCheck, const char* pszMember,
                            std::int64_t& offset) {
  if (!bNoMagicToCheck && !kds::HasMagic(header.magic, kds::kMagic)) return DIBRefusal::kNotAnArchive;
  const std::int64_t bytes = std::int64_t{header.count} * sizeof(kds::Entry);
  // A directory cut short is a damaged archive.
  if (!in.Holds(sizeof header, bytes)) return DIBRefusal::kDirectoryPastEnd;
  const auto directory = std::make_unique_for_overwrite<kds::Entry[]>(header.count);
  const DIBRefusal refusal = ReadAt(in, sizeof header, directory.get(), bytes, DIBRefusal::kDirectoryPastEnd);
  if (refusal != DIBRefusal::kNone) return refusal;
  for (const kds::Entry& entry : std::span(directory.get(), header.count)) {
    if (!kds::IsTerminated(entry) || lstrcmpiA(entry.name, pszMember) != 0) continue;
    // Offsets reach as far as the platform's signed 32-bit file positions.
    if (entry.offset > 0x7FFFFFFF) return DIBRefusal::kMemberOffset;
    if (!in.Holds(entry.offset, 1)) return DIBRefusal::kMemberPastEnd;
    offset = entry.offset;
    return DIBRefusal::kNone;
  }
  return DIBRefusal::kMemberNotFound;
}

DIBRefusal ReadMemberAfterHeader(CDIB& dib, ByteSource& in, const kds::Header& header, bool bNoMagicToCheck,
                                 const char* pszMember) {
  std::int64_t offset = 0;
  const DIBRefusal refusal = FindMemberOffset(in, header, bNoMagicToCheck, pszMember, offset);
  return refusal == DIBRefusal::kNone ? dib.ReadBitmapFromSource(in, offset) : refusal;
}

// The first bytes of the file, read plainly by a source that is gone before the caller makes
// another over the same file.
DIBRefusal ReadFirstBytes(CFile& file, void* pFirst, std::int64_t nFirst) {
  FileSource plain(file, false);
  return ReadAt(plain, 0, pFirst, nFirst, DIBRefusal::kHeaderCut);
}

// The file at the path, plainly or through an expansion reader when its first bytes say it is
// compressed: `read` gets the one source over the file and whether it expands.
template <class Read>
DIBRefusal ReadFromPath(const char* pszPath, void* pFirst, std::int64_t nFirst, Read read) {
  CFile file;
  if (!file.Open(pszPath, kOpenFlags)) return DIBRefusal::kCannotOpen;
  if (DIBRefusal r = ReadFirstBytes(file, pFirst, nFirst); r != DIBRefusal::kNone) return r;
  const bool bCompressed = kds::HasMagic(pFirst, kds::kCompressedMagic);
  FileSource in(file, bCompressed);
  return read(in, bCompressed);
}

// The public loaders' answer: 1 and the palette file's colours, or 0.
int Loaded(CDIB& dib, DIBRefusal refusal, const char* pszPalette) {
  if (refusal != DIBRefusal::kNone) return 0;
  if (pszPalette != nullptr) dib.LoadColorTable(pszPalette);
  return 1;
}

// A resource is adopted in place, without a copy: its header must describe colours and pixels
// that lie inside it.
bool IsAdoptable(const BYTE* data, DWORD size) {
  if (size < dib::kFileHeaderBytes + dib::kInfoHeaderBytes) return false;
  BITMAPFILEHEADER file;
  BITMAPINFOHEADER info;
  std::memcpy(&file, data, sizeof file);
  std::memcpy(&info, data + dib::kFileHeaderBytes, sizeof info);
  if (info.biSize != dib::kInfoHeaderBytes) return false;
  const std::int64_t colorsEnd =
      dib::kFileHeaderBytes + dib::kInfoHeaderBytes + std::int64_t{CDIB::GetNumColors(&info)} * sizeof(RGBQUAD);
  if (colorsEnd > size || file.bfOffBits > size) return false;
  return dib::CheckLoadable(info, size - file.bfOffBits) == DIBRefusal::kNone;
}

}  // namespace

DIBRefusal CDIB::ReadBitmapFromSource(ByteSource& in, std::int64_t nOffset) {
  LoadedBitmap bitmap;
  const DIBRefusal refusal = ReadBitmapBlocks(in, nOffset, bitmap);
  if (refusal == DIBRefusal::kNone)
    Install(reinterpret_cast<BITMAPINFO*>(bitmap.header.release()), bitmap.bits.release(), TRUE);
  return refusal;
}

DIBRefusal CDIB::ReadArchiveMemberFromSource(ByteSource& in, bool bNoMagicToCheck, const char* pszMember) {
  kds::Header header;
  if (DIBRefusal r = ReadAt(in, 0, &header, sizeof header, DIBRefusal::kHeaderCut); r != DIBRefusal::kNone) return r;
  return ReadMemberAfterHeader(*this, in, header, bNoMagicToCheck, pszMember);
}

DIBRefusal CDIB::ReadArchiveMemberFromPath(const char* pszArchive, const char* pszMember) {
  kds::Header header;
  return ReadFromPath(pszArchive, &header, sizeof header, [&](ByteSource& in, bool bCompressed) {
    // A plain archive's header is read already; the expanded one is read from its own source
    // and, its magic gone with the compression, has none to check.
    return bCompressed ? ReadArchiveMemberFromSource(in, true, pszMember)
                       : ReadMemberAfterHeader(*this, in, header, false, pszMember);
  });
}

DIBRefusal CDIB::ReadBitmapFromPath(const char* pszPath) {
  char magic[2];
  return ReadFromPath(pszPath, magic, sizeof magic, [&](ByteSource& in, bool) { return ReadBitmapFromSource(in, 0); });
}

int CDIB::LoadFromFile(CFile* pFile, const char* pszPalette, int bCompressed, long lOffset) {
  if (pFile == nullptr || lOffset < 0) return 0;
  FileSource in(*pFile, bCompressed != 0);
  return Loaded(*this, ReadBitmapFromSource(in, lOffset), pszPalette);
}

int CDIB::LoadFromArchive(const char* pszArchive, const char* pszMember, const char* pszPalette) {
  return Loaded(*this, ReadArchiveMemberFromPath(pszArchive, pszMember), pszPalette);
}

int CDIB::Load(const char* pszName, const char* pszPalette) {
  if (!CFileDialog::GivenOrChosen(pszName, TRUE, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                                  "Bitmap files(*.DIB;*.BM*)|*.DIB;*.BM*|All files (*.*)|*.*||", nullptr, m_strName))
    return 0;

  // The first bar splits archive and member; a leading bar is part of a file name.
  const int bar = m_strName.Find('|');
  if (bar > 0) return LoadFromArchive(m_strName.Left(bar) + ".kds", m_strName.Mid(bar + 1), pszPalette);

  return Loaded(*this, ReadBitmapFromPath(m_strName), pszPalette);
}

int CDIB::LoadFromResource(UINT nID) {
  const WORD id = LOWORD(nID);
  const HMODULE hModule = AfxGetResourceHandle();
  const HRSRC hResource = FindResourceA(hModule, MAKEINTRESOURCEA(id), "DIB");
  if (hResource == nullptr) return 0;
  const HGLOBAL hData = LoadResource(hModule, hResource);
  if (hData == nullptr) return 0;
  BYTE* data = static_cast<BYTE*>(LockResource(hData));
  const DWORD size = SizeofResource(hModule, hResource);
  if (data == nullptr || !IsAdoptable(data, size)) return 0;
  m_strName.Format("RES:%d", id);
  // The pixel operations write into adopted pixels in place.
  DWORD oldProtect = 0;
  VirtualProtect(data, size, PAGE_READWRITE, &oldProtect);
  BITMAPFILEHEADER file;
  std::memcpy(&file, data, sizeof file);
  return AttachMemory(data + dib::kFileHeaderBytes, data + file.bfOffBits);
}
