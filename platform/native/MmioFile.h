// A multimedia-I/O handle over a file handle, for reading. It keeps its own position and
// moves the file to it before every read, so the file's owner may use the file in between.
#pragma once

#include "win32.h"

#include <cstdint>

namespace native {

class MmioFile {
 public:
  // ownsFile: opened by name, so closed with this handle whatever the close flags say.
  MmioFile(HANDLE file, bool ownsFile) : m_file(file), m_ownsFile(ownsFile) {}
  ~MmioFile();
  MmioFile(const MmioFile&) = delete;
  MmioFile& operator=(const MmioFile&) = delete;

  // Leaves a file given by handle open for its owner.
  void KeepFileOpen() { m_keepFile = !m_ownsFile; }

  LONG Read(void* buffer, LONG count);
  // The new position, or -1 before the start or past what a LONG holds.
  LONG Seek(std::int64_t offset, int origin);
  MMRESULT Descend(MMCKINFO& chunk, const MMCKINFO* parent, UINT flags);
  MMRESULT Ascend(const MMCKINFO& chunk);

 private:
  bool ReadExactly(void* buffer, DWORD count);
  static bool Matches(const MMCKINFO& found, const MMCKINFO& wanted, UINT flags);

  HANDLE m_file;
  bool m_ownsFile;
  bool m_keepFile = false;
  LONG m_position = 0;
};

}  // namespace native
