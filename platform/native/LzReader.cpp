#include "LzReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace native {

LzReader::LzReader(HANDLE file, LONG expandedLength) : m_file(file), m_length(expandedLength) { Rewind(); }

LzReader::~LzReader() { CloseHandle(m_file); }

void LzReader::Rewind() {
  m_decoder.Reset();
  m_position = 0;
  m_fileOffset = szdd::kHeaderSize;
  m_inputBegin = m_inputEnd = 0;
  m_atEnd = false;
}

LONG LzReader::Seek(LONG offset, INT origin) {
  std::int64_t base = 0;
  switch (origin) {
    case 0: base = 0; break;
    case 1: base = m_wanted; break;
    case 2: base = m_length; break;
    default: return LZERROR_BADVALUE;
  }
  const std::int64_t target = base + offset;
  if (target < 0 || target > m_length) return LZERROR_BADVALUE;
  m_wanted = static_cast<LONG>(target);
  return m_wanted;
}

INT LzReader::Read(BYTE* buffer, INT count) {
  if (m_wanted < m_position) Rewind();
  INT read = 0;
  if (SkipTo(m_wanted)) {
    read = static_cast<INT>(Expand(buffer, static_cast<std::size_t>(count)));
    m_wanted = m_position;
  }
  // As the expansion library, a read that finds nothing left to expand is an error.
  return read == 0 && count > 0 ? LZERROR_READ : read;
}

bool LzReader::SkipTo(LONG position) {
  BYTE scratch[1024];
  while (m_position < position) {
    const auto step = std::min<std::size_t>(sizeof scratch, static_cast<std::size_t>(position - m_position));
    if (Expand(scratch, step) == 0) return false;
  }
  return true;
}

std::size_t LzReader::Expand(BYTE* out, std::size_t count) {
  // Positions are LONGs; a stream that would expand past them ends there.
  count = std::min<std::size_t>(count, static_cast<std::size_t>(std::numeric_limits<LONG>::max() - m_position));
  std::size_t done = 0;
  while (done < count) {
    const auto step = m_decoder.Decode(m_input.data() + m_inputBegin, m_inputEnd - m_inputBegin, out + done,
                                       count - done);
    m_inputBegin += step.consumed;
    done += step.produced;
    m_position += static_cast<LONG>(step.produced);
    if (done < count && !Refill()) break;
  }
  return done;
}

// Keeps the unused tail (perhaps half a token) and reads more behind it, from this reader's
// own place in the file.
bool LzReader::Refill() {
  if (m_atEnd) return false;
  const std::size_t kept = m_inputEnd - m_inputBegin;
  std::memmove(m_input.data(), m_input.data() + m_inputBegin, kept);
  m_inputBegin = 0;
  m_inputEnd = kept;
  LONG high = 0;
  DWORD got = 0;
  if (SetFilePointer(m_file, static_cast<LONG>(m_fileOffset), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
      !ReadFile(m_file, m_input.data() + kept, static_cast<DWORD>(m_input.size() - kept), &got, nullptr) ||
      got == 0) {
    m_atEnd = true;
    return false;
  }
  m_fileOffset += got;
  m_inputEnd += got;
  return true;
}

}  // namespace native
