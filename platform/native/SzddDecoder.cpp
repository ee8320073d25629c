#include "SzddDecoder.h"

#include <cstring>

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
  Progress p{0, 0};
  DecodeSteps(in, inSize, out, outSize, p, true);
  DecodeGroups(in, inSize, out, outSize, p);
  DecodeSteps(in, inSize, out, outSize, p, false);
  return p;
}

void SzddDecoder::DecodeSteps(const BYTE* in, std::size_t inSize, BYTE* out, std::size_t outSize, Progress& p,
                              bool toGroupEnd) {
  std::size_t consumed = p.consumed;
  std::size_t produced = p.produced;
  while (produced < outSize) {
    if (m_matchLeft > 0) {
      // Byte by byte: a match may overlap the bytes it writes.
      out[produced++] = Emit(m_window[m_matchPos]);
      m_matchPos = (m_matchPos + 1) & szdd::kWindowMask;
      --m_matchLeft;
    } else if (m_controlBits == 0) {
      if (toGroupEnd || consumed == inSize) break;
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
  p = {consumed, produced};
}

void SzddDecoder::DecodeGroups(const BYTE* in, std::size_t inSize, BYTE* out, std::size_t outSize, Progress& p) {
  constexpr std::size_t kGroupIn = 1 + 8 * 2;
  constexpr std::size_t kGroupOut = 8 * szdd::kMaxMatch;
  if (m_matchLeft > 0 || m_controlBits > 0) return;
  const std::size_t first = p.produced;  // out[first] is the byte at window position m_writePos
  std::size_t consumed = p.consumed;
  std::size_t produced = p.produced;
  while (inSize - consumed >= kGroupIn && outSize - produced >= kGroupOut) {
    unsigned control = in[consumed++];
    for (int token = 0; token < 8; ++token, control >>= 1) {
      if (control & 1) {
        out[produced++] = in[consumed++];
        continue;
      }
      const std::size_t position = in[consumed] | ((in[consumed + 1] & 0xF0u) << 4);
      const std::size_t length = (in[consumed + 1] & 0x0Fu) + szdd::kMinMatch;
      consumed += 2;
      // How far back the match starts: a whole window when it names the next byte's place.
      const std::size_t here = (m_writePos + (produced - first)) & szdd::kWindowMask;
      std::size_t distance = (here - position) & szdd::kWindowMask;
      if (distance == 0) distance = szdd::kWindowSize;
      BYTE* dest = out + produced;
      if (distance <= produced - first && distance >= length) {
        std::memcpy(dest, dest - distance, length);
      } else if (distance <= produced - first) {
        for (std::size_t i = 0; i < length; ++i) dest[i] = *(dest + i - distance);
      } else {
        // The match starts before this call's output, in the window.
        for (std::size_t i = 0; i < length; ++i) {
          const std::size_t at = produced - first + i;  // dest[i]'s place in this call's output
          dest[i] = distance <= at ? *(dest + i - distance) : m_window[(m_writePos + at - distance) & szdd::kWindowMask];
        }
      }
      produced += length;
    }
  }
  // The window takes the last of the bytes written straight to the caller.
  const std::size_t written = produced - first;
  for (std::size_t i = written > szdd::kWindowSize ? written - szdd::kWindowSize : 0; i < written; ++i)
    m_window[(m_writePos + i) & szdd::kWindowMask] = out[first + i];
  m_writePos = (m_writePos + written) & szdd::kWindowMask;
  p = {consumed, produced};
}

}  // namespace native
