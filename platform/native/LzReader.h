// One expansion state over an SZDD file. It owns the file handle, as the expansion library
// closes the file with the state, and keeps its own place in the compressed data, so that two
// states over one file (or over duplicates of one handle) never disturb each other.
#pragma once

#include "SzddDecoder.h"

#include <array>

namespace native {

class LzReader {
 public:
  LzReader(HANDLE file, LONG expandedLength);
  ~LzReader();
  LzReader(const LzReader&) = delete;
  LzReader& operator=(const LzReader&) = delete;

  // The new position, or LZERROR_BADVALUE outside 0..expanded length. Lazy: the data is
  // expanded (from the start again for a backward move) by the next read.
  LONG Seek(LONG offset, INT origin);
  // Bytes copied; fewer than asked where the compressed data ends, whatever the header says,
  // and LZERROR_READ when it has ended before the read.
  INT Read(BYTE* buffer, INT count);

 private:
  std::size_t Expand(BYTE* out, std::size_t count);
  bool SkipTo(LONG position);
  bool Refill();
  void Rewind();

  HANDLE m_file;
  LONG m_length;      // from the header; it bounds seeks only
  LONG m_wanted = 0;  // where the next read starts
  LONG m_position = 0;  // how far the decoder has expanded
  DWORD m_fileOffset = 0;  // of the next compressed byte to fetch
  std::array<BYTE, 8192> m_input;
  std::size_t m_inputBegin = 0;
  std::size_t m_inputEnd = 0;
  bool m_atEnd = false;
  SzddDecoder m_decoder;
};

}  // namespace native
