#include "MmioFile.h"

#include "LittleEndian.h"

#include <algorithm>
#include <cstring>
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
  if (!IsMemory() && !m_keepFile) CloseHandle(m_file);
}

std::int64_t MmioFile::Size() const {
  if (IsMemory()) return m_size;
  const DWORD size = GetFileSize(m_file, nullptr);
  return size == INVALID_FILE_SIZE ? -1 : std::int64_t{size};
}

LONG MmioFile::Seek(std::int64_t offset, int origin) {
  std::int64_t target = 0;
  switch (origin) {
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = m_position + offset; break;
    case SEEK_END: {
      const std::int64_t size = Size();
      if (size < 0) return -1;
      target = size - offset;
      break;
    }
    default: return -1;
  }
  if (target < 0 || target > kMaxPosition) return -1;
  m_position = static_cast<LONG>(target);
  return m_position;
}

LONG MmioFile::Read(void* buffer, LONG count) {
  if (count < 0 || (count > 0 && buffer == nullptr)) return -1;
  if (!IsMemory()) return ReadFromFile(buffer, count);
  const LONG got = m_position < m_size ? std::min(count, m_size - m_position) : 0;
  if (got > 0) std::memcpy(buffer, m_bytes + m_position, static_cast<std::size_t>(got));
  m_position += got;
  return got;
}

LONG MmioFile::ReadFromFile(void* buffer, LONG count) {
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

// A zero id or form type asks for any.
bool MmioFile::Matches(const MMCKINFO& found, const MMCKINFO& wanted, UINT flags) {
  const bool typeMatches = wanted.fccType == 0 || found.fccType == wanted.fccType;
  if (flags & MMIO_FINDCHUNK) return wanted.ckid == 0 || found.ckid == wanted.ckid;
  if (flags & MMIO_FINDRIFF) return found.ckid == FOURCC_RIFF && typeMatches;
  if (flags & MMIO_FINDLIST) return found.ckid == FOURCC_LIST && typeMatches;
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
    chunk = found;
    if (Matches(found, wanted, flags)) return MMSYSERR_NOERROR;
    if (ChunkEnd(found) > limit || Seek(ChunkEnd(found), SEEK_SET) < 0) return MMIOERR_CHUNKNOTFOUND;
  }
}

MMRESULT MmioFile::Ascend(const MMCKINFO& chunk) {
  return Seek(ChunkEnd(chunk), SEEK_SET) < 0 ? MMIOERR_CANNOTSEEK : MMSYSERR_NOERROR;
}

}  // namespace native
