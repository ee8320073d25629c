// The bytes of a bitmap file or an image archive inside an open file, read directly or through an
// expansion reader when the file is SZDD-compressed as a whole. Positions count from the start of
// the (expanded) data. Every read is checked: a file error or a short read is a failed read.
#pragma once

#include "CFile.h"

#include <cstdint>

class DIBStream {
 public:
  // The file stays open and its owner's. A compressed stream reads from the file's start,
  // whatever its position, over a handle of its own, so that closing the expansion reader leaves
  // the owner's handle open.
  DIBStream(CFile& file, bool bCompressed);
  ~DIBStream();
  DIBStream(const DIBStream&) = delete;
  DIBStream& operator=(const DIBStream&) = delete;

  bool Seek(std::int64_t position);
  // Exactly nBytes, or false.
  bool Read(void* pBuffer, std::int64_t nBytes);
  // Whether the data can hold nBytes from position: no allocation is made for bytes the file
  // cannot supply.
  bool Holds(std::int64_t position, std::int64_t nBytes);

 private:
  void OpenExpansion();
  // The file's length, or the expanded length as far as the compressed data can justify it.
  std::int64_t MeasureLength();

  CFile& m_file;
  bool m_bCompressed;
  INT m_hLZ = -1;  // the expansion reader; negative when it could not be opened
  std::int64_t m_nLength = 0;
};
