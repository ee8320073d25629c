// Where an imaging reader takes its bytes: a file, an expansion reader over a file, or bytes in
// memory, chosen by the caller. Positions count from the start of the (expanded) data. Every read
// is checked, and a reader asks whether the data can hold a size before it allocates for it.
#pragma once

#include "DIBRefusal.h"

#include <cstdint>

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  virtual bool Seek(std::int64_t position) = 0;
  // Exactly nBytes, or false.
  virtual bool Read(void* pBuffer, std::int64_t nBytes) = 0;
  // Whether the data can hold nBytes from position, as far as the source can tell without
  // reading them: no allocation is made for bytes that are not there.
  bool Holds(std::int64_t position, std::int64_t nBytes) const {
    return position >= 0 && nBytes >= 0 && nBytes <= m_nLength - position;
  }
  // False when the file behind it cannot be read at all, an expansion reader not be opened.
  bool IsReadable() const { return m_bReadable; }
  // Why a read failed that Holds allowed: an expansion's length is only what its header claims.
  DIBRefusal ReadFailure() const {
    return m_bClaimedLength ? DIBRefusal::kExpansionEndsEarly : DIBRefusal::kUnreadable;
  }

 protected:
  ByteSource() = default;
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;

  std::int64_t m_nLength = 0;
  bool m_bClaimedLength = false;
  bool m_bReadable = true;
};
