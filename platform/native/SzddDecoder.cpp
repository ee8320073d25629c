#include "SzddDecoder.h"

#include <algorithm>
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

namespace {

// n bytes, 2 <= n <= 2 * N, as two moves of N that overlap where n is less; both are read before
// either is written, so the source may lie anywhere that does not overlap the destination.
template <std::size_t N>
void MoveTwo(BYTE* dest, const BYTE* src, std::size_t n) {
  BYTE head[N], tail[N];
  std::memcpy(head, src, N);
  std::memcpy(tail, src + n - N, N);
  std::memcpy(dest, head, N);
  std::memcpy(dest + n - N, tail, N);
}

// A match from distance bytes back in the output itself, which it may overlap.
void CopyBack(BYTE* dest, std::size_t distance, std::size_t length) {
  const BYTE* src = dest - distance;
  if (distance < length) {
    for (std::size_t i = 0; i < length; ++i) dest[i] = src[i];
  } else if (length >= 16) {
    MoveTwo<16>(dest, src, length);
  } else if (length >= 8) {
    MoveTwo<8>(dest, src, length);
  } else if (length >= 4) {
    MoveTwo<4>(dest, src, length);
  } else {
    MoveTwo<2>(dest, src, length);
  }
}

}  // namespace

void SzddDecoder::DecodeGroups(const BYTE* in, std::size_t inSize, BYTE* out, std::size_t outSize, Progress& p) {
  constexpr std::size_t kGroupIn = 1 + 8 * 2;
  constexpr std::size_t kGroupOut = 8 * szdd::kMaxMatch;
  constexpr unsigned kAllLiterals = 0xFF;
  if (m_matchLeft > 0 || m_controlBits > 0) return;
  BYTE* const first = out + p.produced;  // the byte at window position m_writePos
  const BYTE* src = in + p.consumed;
  BYTE* dest = first;
  while (static_cast<std::size_t>(in + inSize - src) >= kGroupIn &&
         static_cast<std::size_t>(out + outSize - dest) >= kGroupOut) {
    unsigned control = *src++;
    if (control == kAllLiterals) {
      std::memcpy(dest, src, 8);
      src += 8;
      dest += 8;
      continue;
    }
    for (int token = 0; token < 8; ++token, control >>= 1) {
      if (control & 1) {
        *dest++ = *src++;
        continue;
      }
      const std::size_t position = src[0] | ((src[1] & 0xF0u) << 4);
      const std::size_t length = (src[1] & 0x0Fu) + szdd::kMinMatch;
      src += 2;
      // How far back the match starts: a whole window when it names the next byte's place.
      const auto written = static_cast<std::size_t>(dest - first);
      std::size_t distance = (m_writePos + written - position) & szdd::kWindowMask;
      if (distance == 0) distance = szdd::kWindowSize;
      if (distance <= written) {
        CopyBack(dest, distance, length);
      } else {
        // The match starts before this call's output, in the window.
        for (std::size_t i = 0; i < length; ++i)
          dest[i] = distance <= written + i ? *(dest + i - distance)
                                            : m_window[(m_writePos + written + i - distance) & szdd::kWindowMask];
      }
      dest += length;
    }
  }
  // The window takes the last of the bytes written straight to the caller, in at most two
  // pieces as it wraps around. A call that wrote none leaves it alone: its output may be no
  // buffer at all.
  const auto written = static_cast<std::size_t>(dest - first);
  if (written == 0) return;
  const std::size_t kept = std::min(written, szdd::kWindowSize);
  const std::size_t at = (m_writePos + written - kept) & szdd::kWindowMask;
  const std::size_t beforeWrap = std::min(kept, szdd::kWindowSize - at);
  std::memcpy(m_window.data() + at, dest - kept, beforeWrap);
  std::memcpy(m_window.data(), dest - kept + beforeWrap, kept - beforeWrap);
  m_writePos = (m_writePos + written) & szdd::kWindowMask;
  p = {static_cast<std::size_t>(src - in), static_cast<std::size_t>(dest - out)};
}

}  // namespace native
