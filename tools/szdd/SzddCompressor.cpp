#include "SzddCompressor.h"

#include "SzddFormat.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::size_t kHashBits = 13;
constexpr std::size_t kChainLimit = 256;  // candidates tried per position: ratio against speed
// A match must copy from bytes that the decoder's window still holds, whichever order it
// reads and writes a byte in.
constexpr std::size_t kMaxDistance = szdd::kWindowSize - 1;

std::size_t Hash(const std::uint8_t* p) {
  const std::uint32_t v = std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
  return (v * 2654435761u) >> (32 - kHashBits);
}

// Collects up to eight tokens behind their control byte.
class TokenWriter {
 public:
  explicit TokenWriter(std::vector<std::uint8_t>& out) : m_out(out) {}
  ~TokenWriter() { Flush(); }

  void Literal(std::uint8_t b) {
    m_control |= std::uint8_t(1u << m_count);
    m_tokens[m_used++] = b;
    Next();
  }

  // The match copies from the window slot where the decoder wrote input offset `from`.
  void Match(std::size_t from, std::size_t length) {
    const std::size_t slot = (szdd::kWindowStart + from) & szdd::kWindowMask;
    m_tokens[m_used++] = std::uint8_t(slot);
    m_tokens[m_used++] = std::uint8_t(((slot >> 4) & 0xF0) | (length - szdd::kMinMatch));
    Next();
  }

 private:
  void Next() {
    if (++m_count == 8) Flush();
  }
  void Flush() {
    if (m_count == 0) return;
    m_out.push_back(m_control);
    m_out.insert(m_out.end(), m_tokens, m_tokens + m_used);
    m_control = 0;
    m_count = m_used = 0;
  }

  std::vector<std::uint8_t>& m_out;
  std::uint8_t m_control = 0;
  std::uint8_t m_tokens[16];
  std::size_t m_count = 0;
  std::size_t m_used = 0;
};

void PutHeader(std::vector<std::uint8_t>& out, std::size_t size, char missingChar) {
  out.assign(szdd::kMagic, szdd::kMagic + sizeof szdd::kMagic);
  out.push_back(szdd::kModeLzss);
  out.push_back(static_cast<std::uint8_t>(missingChar));
  for (int shift = 0; shift < 32; shift += 8) out.push_back(std::uint8_t(size >> shift));
}

}  // namespace

std::vector<std::uint8_t> SzddCompressor::Compress(const std::uint8_t* data, std::size_t size, char missingChar) {
  if (size > kMaxInput) throw std::length_error("SZDD input too large");
  std::vector<std::uint8_t> out;
  PutHeader(out, size, missingChar);
  m_data = data;
  m_size = size;
  m_head.assign(std::size_t(1) << kHashBits, -1);
  m_prev.assign(szdd::kWindowSize, -1);

  TokenWriter tokens(out);
  std::size_t at = 0;
  while (at < size) {
    Match match = LongestMatch(at);
    // One step of lazy matching: a longer match from the next byte wins over this one.
    if (match.length >= szdd::kMinMatch && at + 1 < size) {
      Insert(at);
      if (LongestMatch(at + 1).length > match.length) match.length = 0;
    } else {
      Insert(at);
    }
    if (match.length < szdd::kMinMatch) {
      tokens.Literal(data[at++]);
      continue;
    }
    tokens.Match(match.from, match.length);
    for (std::size_t end = at + match.length; ++at < end;) Insert(at);
  }
  return out;
}

// Inserting twice is harmless: the chain then points at itself once and the search stops on
// the distance check.
void SzddCompressor::Insert(std::size_t at) {
  if (at + szdd::kMinMatch > m_size) return;
  std::int64_t& head = m_head[Hash(m_data + at)];
  if (head == std::int64_t(at)) return;
  m_prev[at & szdd::kWindowMask] = head;
  head = std::int64_t(at);
}

SzddCompressor::Match SzddCompressor::LongestMatch(std::size_t at) const {
  Match best{0, 0};
  if (at + szdd::kMinMatch > m_size) return best;
  const std::size_t maxLength = std::min(szdd::kMaxMatch, m_size - at);
  std::int64_t candidate = m_head[Hash(m_data + at)];
  for (std::size_t tries = 0; candidate >= 0 && tries < kChainLimit; ++tries) {
    const auto from = static_cast<std::size_t>(candidate);
    if (from >= at || at - from > kMaxDistance) break;
    std::size_t length = 0;
    while (length < maxLength && m_data[from + length] == m_data[at + length]) ++length;
    if (length > best.length) {
      best = {length, from};
      if (length == maxLength) break;
    }
    candidate = m_prev[from & szdd::kWindowMask];
  }
  return best;
}
