#include "SzddDecoder.h"

namespace native {

void SzddDecoder::Reset() {
  m_window.fill(szdd::kWindowFill);
  m_writePos = szdd::kWindowStart;
  m_control = 0;
  m_controlBits = 0;
  m_matchPos = 0;
  m_matchLeft = 0;
}

BYTE SzddDecoder::Emit(BYTE b) {
  m_window[m_writePos] = b;
  m_writePos = (m_writePos + 1) & szdd::kWindowMask;
  return b;
}

SzddDecoder::Progress SzddDecoder::Decode(const BYTE* in, std::size_t inSize, BYTE* out, std::size_t outSize) {
  std::size_t consumed = 0;
  std::size_t produced = 0;
  while (produced < outSize) {
    if (m_matchLeft > 0) {
      // Byte by byte: a match may overlap the bytes it writes.
      out[produced++] = Emit(m_window[m_matchPos]);
      m_matchPos = (m_matchPos + 1) & szdd::kWindowMask;
      --m_matchLeft;
    } else if (m_controlBits == 0) {
      if (consumed == inSize) break;
      m_control = in[consumed++];
      m_controlBits = 8;
    } else if (m_control & 1) {
      if (consumed == inSize) break;
      out[produced++] = Emit(in[consumed++]);
      m_control >>= 1;
      --m_controlBits;
    } else {
      if (inSize - consumed < 2) break;
      const unsigned lo = in[consumed];
      const unsigned hi = in[consumed + 1];
      consumed += 2;
      m_matchPos = lo | ((hi & 0xF0) << 4);
      m_matchLeft = (hi & 0x0F) + szdd::kMinMatch;
      m_control >>= 1;
      --m_controlBits;
    }
  }
  return {consumed, produced};
}

}  // namespace native
