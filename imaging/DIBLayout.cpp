#include "DIBLayout.h"

#include "CDIB.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace dib {

namespace {

bool Fits(std::int64_t bytes) { return bytes >= 0 && static_cast<std::uint64_t>(bytes) <= SIZE_MAX; }

constexpr std::align_val_t kLine{64};

}  // namespace

Block AllocateForOverwrite(std::int64_t bytes) {
  return Fits(bytes) ? Block(static_cast<BYTE*>(::operator new[](static_cast<std::size_t>(bytes), kLine, std::nothrow)))
                     : nullptr;
}

Block Allocate(std::int64_t bytes) {
  Block block = AllocateForOverwrite(bytes);
  if (block) std::memset(block.get(), 0, static_cast<std::size_t>(bytes));
  return block;
}

void Free(void* p) { ::operator delete[](p, kLine); }

std::int64_t PixelBytes(const BITMAPINFOHEADER& header) {
  if (header.biWidth <= 0 || header.biHeight <= 0) return 0;
  return std::int64_t{header.biHeight} * Stride(header.biWidth);
}

std::int64_t HeldStride(const BITMAPINFOHEADER& header) {
  const std::int64_t platformStride = (std::int64_t{header.biWidth} * header.biBitCount + 31) / 32 * 4;
  return std::max(Stride(header.biWidth), platformStride);
}

std::int64_t HeldPixelBytes(const BITMAPINFOHEADER& header) {
  if (header.biWidth <= 0 || header.biHeight <= 0) return 0;
  return std::int64_t{header.biHeight} * HeldStride(header);
}

DIBRefusal CheckLoadable(const BITMAPINFOHEADER& header, std::int64_t pixelBytes) {
  if (header.biCompression != BI_RGB) return DIBRefusal::kCompressedPixels;
  switch (header.biBitCount) {
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return DIBRefusal::kBitCount;
  }
  if (header.biWidth <= 0 || header.biHeight <= 0) return DIBRefusal::kNoPixels;
  if (CDIB::GetNumColors(&header) > kMaxColors) return DIBRefusal::kTooManyColors;
  if (pixelBytes < 0 || pixelBytes > kMaxPixelBytes) return DIBRefusal::kTooLarge;
  const std::int64_t stride = HeldStride(header);
  // Divided, not multiplied: height × stride may not fit 64 bits.
  return header.biHeight <= pixelBytes / stride ? DIBRefusal::kNone : DIBRefusal::kRowsShort;
}

}  // namespace dib
