// The fuzz input as a read-only framework file in memory: nothing is written or read through
// the system for each input. The bytes stay the caller's.
#pragma once

#include "CFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

class MemoryFile : public CFile {
 public:
  MemoryFile(const std::uint8_t* pData, std::size_t nBytes) : m_pData(pData), m_nLength(static_cast<DWORD>(nBytes)) {}

  DWORD GetPosition() const override { return m_nPosition; }
  DWORD GetLength() const override { return m_nLength; }
  UINT Read(void* lpBuf, UINT nCount) override {
    const UINT n = std::min<UINT>(nCount, m_nLength - std::min(m_nPosition, m_nLength));
    if (n > 0) std::memcpy(lpBuf, m_pData + m_nPosition, n);
    m_nPosition += n;
    return n;
  }
  // As the system's: a position past the end is allowed, one before the start is an error.
  LONG Seek(LONG lOff, UINT nFrom) override {
    const std::int64_t base = nFrom == begin ? 0 : nFrom == current ? m_nPosition : m_nLength;
    const std::int64_t target = base + lOff;
    if (target < 0 || target > 0x7FFFFFFF) CFileException::ThrowOsError(ERROR_NEGATIVE_SEEK);
    m_nPosition = static_cast<DWORD>(target);
    return static_cast<LONG>(m_nPosition);
  }

 private:
  const std::uint8_t* m_pData;
  DWORD m_nLength;
  DWORD m_nPosition = 0;
};
