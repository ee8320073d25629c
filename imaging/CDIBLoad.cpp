#include "CDIB.h"

#include "AfxModuleState.h"
#include "CFileDialog.h"
#include "DIBLayout.h"
#include "DIBStream.h"
#include "ImageArchiveFormat.h"

#include <cstring>
#include <utility>
#include <vector>

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

bool ReadColorTable(DIBStream& in, bool bCore, int nColors, RGBQUAD* table) {
  if (!bCore) return in.Read(table, std::int64_t{nColors} * sizeof(RGBQUAD));
  // One read for the whole table, not one per colour.
  RGBTRIPLE triples[dib::kMaxColors];
  if (nColors > dib::kMaxColors || !in.Read(triples, std::int64_t{nColors} * sizeof(RGBTRIPLE))) return false;
  for (int i = 0; i < nColors; ++i) table[i] = RGBQUAD{triples[i].rgbtBlue, triples[i].rgbtGreen, triples[i].rgbtRed, 0};
  return true;
}

struct Headers {
  BITMAPFILEHEADER file;
  BITMAPINFOHEADER info;  // a core header converted
  bool core;
};

// The file header and the bitmap header after it, whichever kind that is.
bool ReadHeaders(DIBStream& in, std::int64_t base, Headers& h) {
  if (!in.Seek(base) || !in.Read(&h.file, sizeof h.file)) return false;
  if (h.file.bfType != dib::kTypeBM && h.file.bfType != dib::kTypeBC) return false;
  // 40 bytes are there whichever header it is.
  if (!in.Read(&h.info, sizeof h.info)) return false;
  h.core = h.info.biSize == dib::kCoreHeaderBytes;
  if (!h.core) return h.info.biSize == dib::kInfoHeaderBytes;
  BITMAPCOREHEADER core;
  if (!in.Seek(base + dib::kFileHeaderBytes) || !in.Read(&core, sizeof core)) return false;
  h.info = FromCore(core);
  return true;
}

// The bitmap file at `base` of the stream. Whatever fails, nothing is kept; colour entries past
// the file's own are zero.
bool ReadBitmap(DIBStream& in, std::int64_t base, LoadedBitmap& out) {
  Headers h;
  if (!ReadHeaders(in, base, h) || h.file.bfSize < h.file.bfOffBits) return false;
  const std::int64_t pixelBytes = h.file.bfSize - h.file.bfOffBits;
  const std::int64_t pixelStart = base + h.file.bfOffBits;
  if (!dib::IsLoadable(h.info, pixelBytes) || !in.Holds(pixelStart, pixelBytes)) return false;

  dib::Block header = dib::Allocate(dib::kHeaderBlockBytes);
  if (!header) return false;
  std::memcpy(header.get(), &h.info, sizeof h.info);
  RGBQUAD* table = reinterpret_cast<RGBQUAD*>(header.get() + dib::kInfoHeaderBytes);
  // The stream stands right after the bitmap header.
  if (h.file.bfType == dib::kTypeBM && !ReadColorTable(in, h.core, CDIB::GetNumColors(&h.info), table)) return false;

  dib::Block bits = dib::Allocate(pixelBytes);
  if (!bits || !in.Seek(pixelStart) || !in.Read(bits.get(), pixelBytes)) return false;
  out = LoadedBitmap{std::move(header), std::move(bits)};
  return true;
}

// The offset of the first directory entry named like the member, ignoring case; -1 for none.
std::int64_t FindMember(DIBStream& in, const kds::Header& header, const char* pszMember) {
  const std::int64_t bytes = std::int64_t{header.count} * sizeof(kds::Entry);
  // A directory cut short is a damaged archive.
  if (!in.Holds(sizeof header, bytes)) return -1;
  std::vector<kds::Entry> directory(header.count);
  if (!in.Seek(sizeof header) || !in.Read(directory.data(), bytes)) return -1;
  for (const kds::Entry& entry : directory)
    if (kds::IsTerminated(entry) && lstrcmpiA(entry.name, pszMember) == 0) return entry.offset;
  return -1;
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
  return dib::IsLoadable(info, size - file.bfOffBits);
}

}  // namespace

int CDIB::LoadFromFile(CFile* pFile, const char* pszPalette, int bCompressed, long lOffset) {
  if (pFile == nullptr || lOffset < 0) return 0;
  LoadedBitmap bitmap;
  {
    DIBStream in(*pFile, bCompressed != 0);
    if (!ReadBitmap(in, lOffset, bitmap)) return 0;
  }
  Install(reinterpret_cast<BITMAPINFO*>(bitmap.header.release()), bitmap.bits.release(), TRUE);
  if (pszPalette != nullptr) LoadColorTable(pszPalette);
  return 1;
}

int CDIB::LoadFromArchive(const char* pszArchive, const char* pszMember, const char* pszPalette) {
  CFile file;
  if (!file.Open(pszArchive, kOpenFlags)) return 0;
  kds::Header header;
  if (!DIBStream(file, false).Read(&header, sizeof header)) return 0;
  const bool compressed = kds::HasMagic(header.magic, kds::kCompressedMagic);
  if (!compressed && !kds::HasMagic(header.magic, kds::kMagic)) return 0;

  std::int64_t offset = -1;
  {
    // Closed before the member is read, which opens an expansion reader of its own.
    DIBStream in(file, compressed);
    // The expanded header's magic is not looked at.
    if (compressed && (!in.Seek(0) || !in.Read(&header, sizeof header))) return 0;
    offset = FindMember(in, header, pszMember);
  }
  if (!std::in_range<long>(offset) || offset < 0) return 0;
  return LoadFromFile(&file, pszPalette, compressed, static_cast<long>(offset));
}

int CDIB::Load(const char* pszName, const char* pszPalette) {
  if (!CFileDialog::GivenOrChosen(pszName, TRUE, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                                  "Bitmap files(*.DIB;*.BM*)|*.DIB;*.BM*|All files (*.*)|*.*||", nullptr, m_strName))
    return 0;

  // The first bar splits archive and member; a leading bar is part of a file name.
  const int bar = m_strName.Find('|');
  if (bar > 0) return LoadFromArchive(m_strName.Left(bar) + ".kds", m_strName.Mid(bar + 1), pszPalette);

  CFile file;
  if (!file.Open(m_strName, kOpenFlags)) return 0;
  char magic[2];
  if (!DIBStream(file, false).Read(magic, sizeof magic)) return 0;
  return LoadFromFile(&file, pszPalette, kds::HasMagic(magic, kds::kCompressedMagic), 0);
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
