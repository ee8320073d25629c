// GDI objects of the native stand-in: palettes, brushes and the state of a device context.
#include "GdiObjects.h"

#include <climits>
#include <memory>
#include <new>

namespace native {

HandleTable<GdiObject>& GdiObjects() {
  static HandleTable<GdiObject> table;
  return table;
}

HandleTable<DeviceContext>& DeviceContexts() {
  static HandleTable<DeviceContext> table;
  return table;
}

void ReleaseIfPending(Bitmap* bitmap) {
  if (bitmap != nullptr && bitmap->deletePending && bitmap->selectedInto == nullptr) GdiObjects().Remove(bitmap);
}

}  // namespace native

using namespace native;

namespace {

template <class T>
T* NewObject() {
  return static_cast<T*>(GdiObjects().Add(std::unique_ptr<T>(new (std::nothrow) T)));
}

}  // namespace

BOOL DeleteObject(HGDIOBJ object) {
  GdiObject* o = GdiObjects().Find(object);
  if (o == nullptr) return FALSE;
  if (o->stock) return TRUE;
  // As Windows does, a bitmap still selected into a device context goes when it leaves it.
  if (auto* bitmap = dynamic_cast<Bitmap*>(o); bitmap != nullptr && bitmap->selectedInto != nullptr) {
    bitmap->deletePending = true;
    return TRUE;
  }
  GdiObjects().Remove(object);
  return TRUE;
}

HGDIOBJ GetStockObject(int object) {
  static Brush* const hollowBrush = [] {
    auto* b = NewObject<Brush>();
    if (b != nullptr) {
      b->stock = true;
      b->hollow = true;
    }
    return b;
  }();
  return object == NULL_BRUSH ? ToHandle<HGDIOBJ>(hollowBrush) : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* brush = NewObject<Brush>();
  if (brush == nullptr) return nullptr;
  brush->color = color;
  return ToHandle<HBRUSH>(brush);
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (palette == nullptr || palette->palVersion != 0x300 || palette->palNumEntries == 0) return nullptr;
  auto* p = NewObject<Palette>();
  if (p == nullptr) return nullptr;
  p->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return ToHandle<HPALETTE>(p);
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries) {
  const auto* p = ObjectFromHandle<Palette>(palette);
  if (p == nullptr) return 0;
  if (entries == nullptr) return static_cast<UINT>(p->entries.size());
  UINT copied = 0;
  for (; copied < count && start + copied < p->entries.size(); ++copied) entries[copied] = p->entries[start + copied];
  return copied;
}

// The nearest entry by squared distance in RGB space; the first of equals wins.
UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
  const auto* p = ObjectFromHandle<Palette>(palette);
  if (p == nullptr) return CLR_INVALID;
  UINT best = 0;
  long bestDistance = LONG_MAX;
  for (UINT i = 0; i < p->entries.size(); ++i) {
    const PALETTEENTRY& e = p->entries[i];
    const long dr = long(e.peRed) - GetRValue(color);
    const long dg = long(e.peGreen) - GetGValue(color);
    const long db = long(e.peBlue) - GetBValue(color);
    const long distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
      if (distance == 0) break;  // nothing later can be nearer
    }
  }
  return best;
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL) {
  DeviceContext* d = DcFromHandle(dc);
  if (d == nullptr) return nullptr;
  HPALETTE previous = d->palette;
  d->palette = palette;
  return previous;
}

UINT RealizePalette(HDC dc) {
  const DeviceContext* d = DcFromHandle(dc);
  if (d == nullptr) return GDI_ERROR;
  const auto* p = ObjectFromHandle<Palette>(d->palette);
  return p ? static_cast<UINT>(p->entries.size()) : 0;
}

int SetBkMode(HDC dc, int mode) {
  DeviceContext* d = DcFromHandle(dc);
  if (d == nullptr) return 0;
  const int previous = d->bkMode;
  d->bkMode = mode;
  return previous;
}
