#include "FileSource.h"

#include <algorithm>
#include <climits>

namespace {

// An SZDD stream gives at most 8 × 18 bytes for every 17 it holds; a header that claims more
// than that is not believed.
constexpr std::int64_t kMaxExpansion = 9;

// The expansion reader closes the handle it reads, so it gets a handle of its own on the file.
HANDLE DuplicateFileHandle(HANDLE hFile) {
  HANDLE hCopy = nullptr;
  const HANDLE process = GetCurrentProcess();
  if (!DuplicateHandle(process, hFile, process, &hCopy, 0, FALSE, DUPLICATE_SAME_ACCESS)) return nullptr;
  return hCopy;
}

}  // namespace

FileSource::FileSource(CFile& file, bool bCompressed) : m_file(file), m_bCompressed(bCompressed) {
  m_bClaimedLength = bCompressed;
  if (m_bCompressed) OpenExpansion();
  m_nLength = MeasureLength();
}

void FileSource::OpenExpansion() {
  const HANDLE hCopy = DuplicateFileHandle(m_file.m_hFile);
  if (hCopy == nullptr) return;
  // Handles fit 32 bits on both platforms; the expansion library takes them as file numbers.
  m_hLZ = LZInit(static_cast<INT>(reinterpret_cast<INT_PTR>(hCopy)));
  if (m_hLZ < 0) CloseHandle(hCopy);
}

FileSource::~FileSource() {
  if (m_hLZ >= 0) LZClose(m_hLZ);
}

bool FileSource::Seek(std::int64_t position) {
  if (position < 0 || position > LONG_MAX) return false;
  m_nPosition = position;
  return true;
}

bool FileSource::Reposition() {
  const LONG offset = static_cast<LONG>(m_nPosition);
  if (m_bCompressed) return m_hLZ >= 0 && LZSeek(m_hLZ, offset, 0) == offset;
  try {
    return m_file.Seek(offset, CFile::begin) == offset;
  } catch (const CFileException&) {
    return false;
  }
}

INT FileSource::ReadSome(BYTE* pBuffer, INT nBytes) {
  if (m_bCompressed) return LZRead(m_hLZ, reinterpret_cast<LPSTR>(pBuffer), nBytes);
  try {
    return static_cast<INT>(m_file.Read(pBuffer, static_cast<UINT>(nBytes)));
  } catch (const CFileException&) {
    return -1;
  }
}

bool FileSource::Read(void* pBuffer, std::int64_t nBytes) {
  if (nBytes < 0 || nBytes > INT_MAX || !Reposition()) return false;
  BYTE* out = static_cast<BYTE*>(pBuffer);
  std::int64_t done = 0;
  while (done < nBytes) {
    const INT got = ReadSome(out + done, static_cast<INT>(nBytes - done));
    if (got <= 0) return false;
    done += got;
  }
  m_nPosition += nBytes;
  return true;
}

std::int64_t FileSource::MeasureLength() {
  std::int64_t raw = 0;
  try {
    raw = m_file.GetLength();
  } catch (const CFileException&) {
    m_bReadable = false;
    return 0;
  }
  if (!m_bCompressed) return raw;
  if (m_hLZ < 0) {
    m_bReadable = false;
    return 0;
  }
  const LONG expanded = LZSeek(m_hLZ, 0, 2);
  return std::min<std::int64_t>(std::max<LONG>(expanded, 0), raw * kMaxExpansion);
}
