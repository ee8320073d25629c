// The LZSS decoder of SZDD files, resumable at any byte: it takes compressed bytes as they
// come and stops when either side runs out, keeping a half-copied match for the next call.
// While both sides have room for a whole control group it expands straight into the caller's
// buffer, taking matches from there, and brings the window up to date once afterwards.
#pragma once

#include "SzddFormat.h"
#include "win32.h"

#include <array>
#include <cstddef>

namespace native {

class SzddDecoder {
 public:
  SzddDecoder() { Reset(); }

  // Back to the start of a stream: the window all spaces, no token pending.
  void Reset();

  struct Progress {
    std::size_t consumed;  // compressed bytes taken from the input
    std::size_t produced;  // expanded bytes written to the output
  };
  // Expands up to outSize bytes from the input. A token cut off by the end of the input is
  // left unconsumed; the caller offers it again with more bytes behind it.
  Progress Decode(const BYTE* in, std::size_t inSize, BYTE* out, std::size_t outSize);

 private:
  BYTE Emit(BYTE b);
  // The resumable path, one step at a time, until the next control byte is due.
  void DecodeSteps(const BYTE* in, std::size_t inSize, BYTE* out, std::size_t outSize, Progress& p, bool toGroupEnd);
  // Whole control groups while the input holds one and the output has room for its bytes.
  void DecodeGroups(const BYTE* in, std::size_t inSize, BYTE* out, std::size_t outSize, Progress& p);

  std::array<BYTE, szdd::kWindowSize> m_window;
  std::size_t m_writePos;
  unsigned m_control;     // the current control byte, shifted as its bits are used
  unsigned m_controlBits; // bits of it not yet used
  std::size_t m_matchPos;
  std::size_t m_matchLeft;
};

}  // namespace native
