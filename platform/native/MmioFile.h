// A multimedia-I/O handle for reading, over a file handle or over bytes in memory. Over a file
// it keeps its own position and moves the file to it before every read, so the file's owner
// may use the file in between.
#pragma once

#include "win32.h"

#include <cstdint>
#include <memory>

namespace native {

class MmioFile {
 public:
  // ownsFile: opened by name, so closed with this handle whatever the close flags say.
  // position: where reading starts, the file's own position for a handle the caller passed.
  MmioFile(HANDLE file, bool ownsFile, LONG position) : m_file(file), m_ownsFile(ownsFile), m_position(position) {}
  // A memory file over the caller's bytes, which must outlive the handle.
  MmioFile(const BYTE* bytes, LONG size) : m_bytes(bytes), m_size(size) {}
  // A memory file over a block of its own.
  MmioFile(std::unique_ptr<BYTE[]> bytes, LONG size) : MmioFile(bytes.get(), size) { m_ownBytes = std::move(bytes); }
  ~MmioFile();
  MmioFile(const MmioFile&) = delete;
  MmioFile& operator=(const MmioFile&) = delete;

  // Leaves a file given by handle open for its owner.
  void KeepFileOpen() { m_keepFile = !m_ownsFile; }

  LONG Read(void* buffer, LONG count);
  // The new position, or -1 before the start or past what a LONG holds. From the end, a
  // positive offset counts back towards the start.
  LONG Seek(std::int64_t offset, int origin);
  // A failed search leaves the last chunk it looked at in the record.
  MMRESULT Descend(MMCKINFO& chunk, const MMCKINFO* parent, UINT flags);
  MMRESULT Ascend(const MMCKINFO& chunk);

 private:
  bool IsMemory() const { return m_bytes != nullptr; }
  // The file's length, or -1 when it cannot be told.
  std::int64_t Size() const;
  LONG ReadFromFile(void* buffer, LONG count);
  bool ReadExactly(void* buffer, DWORD count);
  static bool Matches(const MMCKINFO& found, const MMCKINFO& wanted, UINT flags);

  HANDLE m_file = INVALID_HANDLE_VALUE;
  bool m_ownsFile = false;
  bool m_keepFile = false;
  const BYTE* m_bytes = nullptr;
  LONG m_size = 0;
  std::unique_ptr<BYTE[]> m_ownBytes;
  LONG m_position = 0;
};

}  // namespace native
