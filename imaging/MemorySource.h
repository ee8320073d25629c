// Bytes in memory as a byte source: the caller's, not copied, and alive while the source is.
#pragma once

#include "ByteSource.h"

#include <cstddef>
#include <cstring>

class MemorySource : public ByteSource {
 public:
  MemorySource(const void* pData, std::size_t nBytes) : m_pData(static_cast<const unsigned char*>(pData)) {
    m_nLength = static_cast<std::int64_t>(nBytes);
  }

  bool Seek(std::int64_t position) override {
    if (position < 0 || position > m_nLength) return false;
    m_nPosition = position;
    return true;
  }

  bool Read(void* pBuffer, std::int64_t nBytes) override {
    if (!Holds(m_nPosition, nBytes)) return false;
    if (nBytes != 0) std::memcpy(pBuffer, m_pData + m_nPosition, static_cast<std::size_t>(nBytes));
    m_nPosition += nBytes;
    return true;
  }

 private:
  const unsigned char* m_pData;
  std::int64_t m_nPosition = 0;
};
