// Compresses a file's bytes as a whole into the SZDD format that the platform's expansion
// library (LZInit, LZRead) reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class SzddCompressor {
 public:
  // The largest input: the expansion library takes lengths as signed 32-bit values.
  static constexpr std::size_t kMaxInput = 0x7FFFFFFF;

  // missingChar: the last character of the original file name when the compressed file's name
  // ends in '_' instead, as the platform's compress tool names files; 0 for none.
  // Throws std::length_error for an input over kMaxInput.
  std::vector<std::uint8_t> Compress(const std::uint8_t* data, std::size_t size, char missingChar = 0);

 private:
  struct Match {
    std::size_t length;
    std::size_t from;  // input offset the match copies from
  };
  Match LongestMatch(std::size_t at) const;
  void Insert(std::size_t at);

  const std::uint8_t* m_data = nullptr;
  std::size_t m_size = 0;
  std::vector<std::int64_t> m_head;  // per hash: the latest input offset, -1 for none
  std::vector<std::int64_t> m_prev;  // per window slot: the previous offset with the same hash
};
