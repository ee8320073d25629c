// The SZDD file layout: a 14-byte header, then one LZSS stream over a 4096-byte window.
// Shared by the native expander and our compressor, which must agree byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace szdd {

inline constexpr std::uint8_t kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
inline constexpr std::uint8_t kModeLzss = 'A';
inline constexpr std::size_t kModeOffset = 8;
inline constexpr std::size_t kMissingCharOffset = 9;
inline constexpr std::size_t kLengthOffset = 10;  // u32, little-endian: the expanded length
inline constexpr std::size_t kHeaderSize = 14;

// Each control byte announces eight tokens, least significant bit first: 1 a literal byte,
// 0 a two-byte match (12-bit window position, 4-bit length - 3).
inline constexpr std::size_t kWindowSize = 4096;
inline constexpr std::size_t kWindowMask = kWindowSize - 1;
inline constexpr std::size_t kWindowStart = kWindowSize - 16;  // where the first byte is written
inline constexpr std::uint8_t kWindowFill = ' ';               // what the window holds before that
inline constexpr std::size_t kMinMatch = 3;
inline constexpr std::size_t kMaxMatch = 18;

}  // namespace szdd
