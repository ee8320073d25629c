// Sizes of the 8-bit bitmap layout and the rule for which headers the pixel operations can serve,
// shared by the loaders, saving and every operation that walks the pixel buffer.
#pragma once

#include "DIBRefusal.h"
#include "win32.h"

#include <bit>
#include <cstdint>
#include <memory>

// Headers and colour entries are copied to and from files byte for byte.
static_assert(std::endian::native == std::endian::little, "bitmap files are little-endian");

namespace dib {

constexpr DWORD kFileHeaderBytes = 14;
constexpr DWORD kInfoHeaderBytes = 40;
constexpr DWORD kCoreHeaderBytes = 12;
constexpr int kMaxColors = 256;
// Information header and room for every colour entry, whatever the colour count.
constexpr DWORD kHeaderBlockBytes = kInfoHeaderBytes + kMaxColors * sizeof(RGBQUAD);
static_assert(kHeaderBlockBytes == 1064);

constexpr WORD kTypeBM = 0x4D42;  // "BM": colour table stored
constexpr WORD kTypeBC = 0x4342;  // "BC": colour table left out

// A saved file's size must still fit bfSize, and every count a signed 32-bit value.
constexpr std::int64_t kMaxPixelBytes = 0x7FFFFFFF - std::int64_t{kFileHeaderBytes + kHeaderBlockBytes};

// Row stride of the pixel model: one byte per pixel, rows padded to 4 bytes.
constexpr std::int64_t Stride(std::int64_t width) { return (width + 3) & ~std::int64_t{3}; }

// The header block and the pixel buffer are heap blocks of bytes, zeroed when allocated. They
// start on a cache line, and so does every row of a bitmap whose stride is a multiple of one:
// the block copy then writes whole lines.
void Free(void* p);
struct BlockDeleter {
  void operator()(BYTE* p) const { Free(p); }
};
using Block = std::unique_ptr<BYTE[], BlockDeleter>;
// Null when the size is negative or memory runs out.
Block Allocate(std::int64_t bytes);
// The same, not zeroed: for pixels read over at once.
Block AllocateForOverwrite(std::int64_t bytes);

// height × stride: the bytes every 8-bit pixel operation covers; 0 for a header without pixels.
std::int64_t PixelBytes(const BITMAPINFOHEADER& header);

// The row stride a loaded bitmap's buffer holds: a row as the platform reads it at the header's
// bit count, and at least a row as the 8-bit operations address it.
std::int64_t HeldStride(const BITMAPINFOHEADER& header);
// height × HeldStride: what a loaded bitmap holds and what saving it writes, so that the file
// loads again at its own depth; 0 for a header without pixels.
std::int64_t HeldPixelBytes(const BITMAPINFOHEADER& header);

// Whether a bitmap with this header and a pixel buffer of this size is safe to install: an
// uncompressed bitmap of 8 bits (or 16, 24, 32, so that callers can see and refuse the depth),
// with pixels, at most 256 colours, and a buffer that holds every row both as the platform reads
// it at the header's bit count and as the 8-bit operations address it. kNone, or why not.
DIBRefusal CheckLoadable(const BITMAPINFOHEADER& header, std::int64_t pixelBytes);

}  // namespace dib
