#include "MmioFile.h"

#include "LittleEndian.h"

#include <limits>

namespace native {

namespace {

// Positions are Win32 LONGs, 32 bits on every platform.
constexpr std::int64_t kMaxPosition = std::numeric_limits<LONG>::max();

bool IsList(FOURCC id) { return id == FOURCC_RIFF || id == FOURCC_LIST; }

// Where a chunk's data ends, padded to an even length as RIFF lays chunks out.
std::int64_t ChunkEnd(const MMCKINFO& chunk) {
  return std::int64_t(chunk.dwDataOffset) + chunk.cksize + (chunk.cksize & 1);
}

}  // namespace

MmioFile::~MmioFile() {
  if (!m_keepFile) CloseHandle(m_file);
}

LONG MmioFile::Seek(std::int64_t offset, int origin) {
  std::int64_t base = 0;
  switch (origin) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = m_position; break;
    case SEEK_END: {
      const DWORD size = GetFileSize(m_file, nullptr);
      if (size == INVALID_FILE_SIZE) return -1;
      base = size;
      break;
    }
    default: return -1;
  }
  const std::int64_t target = base + offset;
  if (target < 0 || target > kMaxPosition) return -1;
  m_position = static_cast<LONG>(target);
  return m_position;
}

LONG MmioFile::Read(void* buffer, LONG count) {
  if (count < 0 || (count > 0 && buffer == nullptr)) return -1;
  DWORD got = 0;
  LONG high = 0;
  if (SetFilePointer(m_file, m_position, &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
      !ReadFile(m_file, buffer, static_cast<DWORD>(count), &got, nullptr))
    return -1;
  m_position += static_cast<LONG>(got);
  return static_cast<LONG>(got);
}

bool MmioFile::ReadExactly(void* buffer, DWORD count) {
  return Read(buffer, static_cast<LONG>(count)) == static_cast<LONG>(count);
}

bool MmioFile::Matches(const MMCKINFO& found, const MMCKINFO& wanted, UINT flags) {
  if (flags & MMIO_FINDCHUNK) return found.ckid == wanted.ckid;
  if (flags & MMIO_FINDRIFF) return found.ckid == FOURCC_RIFF && found.fccType == wanted.fccType;
  if (flags & MMIO_FINDLIST) return found.ckid == FOURCC_LIST && found.fccType == wanted.fccType;
  return true;
}

// Reads chunk headers from the current position on, skipping chunks that do not match, up to
// the end of the parent. Sizes are not believed: a chunk that ends past the parent, past the
// file or past what a position holds ends the search, it is never wrapped around.
MMRESULT MmioFile::Descend(MMCKINFO& chunk, const MMCKINFO* parent, UINT flags) {
  const MMCKINFO wanted = chunk;
  const std::int64_t limit = parent != nullptr ? std::int64_t(parent->dwDataOffset) + parent->cksize : kMaxPosition;
  for (;;) {
    if (std::int64_t(m_position) + 8 > limit) return MMIOERR_CHUNKNOTFOUND;
    BYTE header[8];
    if (!ReadExactly(header, sizeof header)) return MMIOERR_CHUNKNOTFOUND;
    MMCKINFO found{ReadU32(header), ReadU32(header + 4), 0, static_cast<DWORD>(m_position), 0};
    if (IsList(found.ckid)) {
      BYTE type[4];
      if (!ReadExactly(type, sizeof type)) return MMIOERR_CHUNKNOTFOUND;
      found.fccType = ReadU32(type);
    }
    if (Matches(found, wanted, flags)) {
      chunk = found;
      return MMSYSERR_NOERROR;
    }
    if (ChunkEnd(found) > limit || Seek(ChunkEnd(found), SEEK_SET) < 0) return MMIOERR_CHUNKNOTFOUND;
  }
}

MMRESULT MmioFile::Ascend(const MMCKINFO& chunk) {
  return Seek(ChunkEnd(chunk), SEEK_SET) < 0 ? MMIOERR_CANNOTSEEK : MMSYSERR_NOERROR;
}

}  // namespace native
