// Memory device contexts, 32-bit DIB sections and the drawing of 8-bit DIBs into them.
#include "GdiObjects.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>

using namespace native;

namespace {

// Larger surfaces are refused rather than attempted: a test's surface is small, and a hostile
// header must not make us allocate gigabytes.
constexpr std::int64_t kMaxSurfaceBytes = std::int64_t(1) << 30;

Bitmap* NewBitmap(LONG width, LONG height, bool topDown) {
  auto bitmap = std::unique_ptr<Bitmap>(new (std::nothrow) Bitmap);
  if (!bitmap) return nullptr;
  try {
    bitmap->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  bitmap->width = width;
  bitmap->height = height;
  bitmap->topDown = topDown;
  return static_cast<Bitmap*>(GdiObjects().Add(std::move(bitmap)));
}

// What a new memory device context holds, as on Windows: a 1 x 1 stock bitmap.
Bitmap* DefaultBitmap() {
  static Bitmap* const bitmap = [] {
    Bitmap* b = NewBitmap(1, 1, false);
    if (b != nullptr) b->stock = true;
    return b;
  }();
  return bitmap;
}

void Deselect(DeviceContext* dc) {
  Bitmap* previous = dc->bitmap;
  dc->bitmap = nullptr;
  if (previous == nullptr || previous->stock) return;
  previous->selectedInto = nullptr;
  ReleaseIfPending(previous);
}

HBITMAP SelectBitmap(DeviceContext* dc, Bitmap* bitmap) {
  // A bitmap lives in one device context at a time.
  if (bitmap->selectedInto != nullptr && bitmap->selectedInto != dc) return nullptr;
  Bitmap* previous = dc->bitmap;
  if (previous == bitmap) return ToHandle<HBITMAP>(bitmap);
  Deselect(dc);
  dc->bitmap = bitmap;
  if (!bitmap->stock) bitmap->selectedInto = dc;
  return ToHandle<HBITMAP>(previous);
}

std::uint32_t ToSurface(const RGBQUAD& c) {
  return std::uint32_t(c.rgbBlue) | (std::uint32_t(c.rgbGreen) << 8) | (std::uint32_t(c.rgbRed) << 16);
}

// An uncompressed DIB with an information header and a size that can be negated.
bool IsPlainDib(const BITMAPINFOHEADER& h) {
  return h.biSize >= sizeof(BITMAPINFOHEADER) && h.biWidth > 0 && h.biHeight != 0 &&
         h.biHeight != std::numeric_limits<LONG>::min() && h.biCompression == BI_RGB;
}

LONG RowCount(const BITMAPINFOHEADER& h) { return h.biHeight < 0 ? -h.biHeight : h.biHeight; }

// The 8-bit form this stand-in draws; anything else fails as an unsupported call.
bool IsDrawable(const BITMAPINFOHEADER& h, UINT usage, DWORD rop) {
  return IsPlainDib(h) && h.biBitCount == 8 && usage == DIB_RGB_COLORS && rop == SRCCOPY;
}

// One [begin, end) range of offsets into the drawn block.
struct Span {
  LONG begin;
  LONG end;
  bool Empty() const { return begin >= end; }
};

Span Intersect(Span a, std::int64_t lo, std::int64_t hi) {
  return {static_cast<LONG>(std::max<std::int64_t>(a.begin, lo)), static_cast<LONG>(std::min<std::int64_t>(a.end, hi))};
}

}  // namespace

HDC CreateCompatibleDC(HDC) {
  auto dc = std::unique_ptr<DeviceContext>(new (std::nothrow) DeviceContext);
  if (!dc || DefaultBitmap() == nullptr) return nullptr;
  dc->bitmap = DefaultBitmap();
  return ToHandle(DeviceContexts().Add(std::move(dc)));
}

BOOL DeleteDC(HDC dc) {
  DeviceContext* d = DcFromHandle(dc);
  if (d == nullptr) return FALSE;
  Deselect(d);
  DeviceContexts().Remove(d);
  return TRUE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
  if (bits != nullptr) *bits = nullptr;
  if (info == nullptr || section != nullptr || usage != DIB_RGB_COLORS) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (!IsPlainDib(h) || h.biPlanes != 1 || h.biBitCount != 32) return nullptr;
  const LONG height = RowCount(h);
  if (std::int64_t(h.biWidth) * height * 4 > kMaxSurfaceBytes) return nullptr;
  Bitmap* bitmap = NewBitmap(h.biWidth, height, h.biHeight < 0);
  if (bitmap == nullptr) return nullptr;
  if (bits != nullptr) *bits = bitmap->pixels.data();
  return ToHandle<HBITMAP>(bitmap);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  DeviceContext* d = DcFromHandle(dc);
  auto* bitmap = ObjectFromHandle<Bitmap>(object);
  if (d == nullptr || bitmap == nullptr || bitmap->deletePending) return nullptr;
  return SelectBitmap(d, bitmap);
}

COLORREF GetPixel(HDC dc, int x, int y) {
  const DeviceContext* d = DcFromHandle(dc);
  if (d == nullptr || d->bitmap == nullptr) return CLR_INVALID;
  Bitmap& b = *d->bitmap;
  if (x < 0 || y < 0 || x >= b.width || y >= b.height) return CLR_INVALID;
  const std::uint32_t p = b.Row(y)[x];
  return RGB(BYTE(p >> 16), BYTE(p >> 8), BYTE(p));
}

BOOL GdiFlush() { return TRUE; }

// The source rectangle has its origin at the lower left of the DIB, whichever its row order.
// The result is the DIB's height, whatever the clipping leaves, as the platform reports it.
int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  DeviceContext* d = DcFromHandle(dc);
  if (d == nullptr || d->bitmap == nullptr || bits == nullptr || info == nullptr) return 0;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (!IsDrawable(h, usage, rop) || srcWidth <= 0 || srcHeight <= 0 || destWidth != srcWidth ||
      destHeight != srcHeight)
    return 0;

  const LONG height = RowCount(h);
  const auto* colors = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + h.biSize);
  const DWORD used = (h.biClrUsed == 0 || h.biClrUsed > 256) ? 256 : h.biClrUsed;
  std::uint32_t lut[256] = {};
  for (DWORD i = 0; i < used; ++i) lut[i] = ToSurface(colors[i]);

  Bitmap& surface = *d->bitmap;
  // Block offsets (dx, dy) from its top left that land inside both the DIB and the surface.
  Span xs = Intersect({0, srcWidth}, -std::int64_t(xSrc), std::int64_t(h.biWidth) - xSrc);
  xs = Intersect(xs, -std::int64_t(xDest), std::int64_t(surface.width) - xDest);
  // Block row dy shows the DIB row ySrc + srcHeight - 1 - dy, counted from the bottom.
  const std::int64_t topRow = std::int64_t(ySrc) + srcHeight - 1;
  Span ys = Intersect({0, srcHeight}, topRow - height + 1, topRow + 1);
  ys = Intersect(ys, -std::int64_t(yDest), std::int64_t(surface.height) - yDest);
  if (xs.Empty() || ys.Empty()) return height;

  const std::size_t stride = (static_cast<std::size_t>(h.biWidth) + 3) & ~std::size_t(3);
  const auto* pixels = static_cast<const BYTE*>(bits);
  for (LONG dy = ys.begin; dy < ys.end; ++dy) {
    const std::int64_t fromBottom = topRow - dy;
    const std::int64_t memoryRow = h.biHeight < 0 ? height - 1 - fromBottom : fromBottom;
    const BYTE* src = pixels + static_cast<std::size_t>(memoryRow) * stride + xSrc + xs.begin;
    std::uint32_t* dst = surface.Row(yDest + dy) + xDest + xs.begin;
    for (LONG n = xs.end - xs.begin; n > 0; --n) *dst++ = lut[*src++];
  }
  return height;
}
