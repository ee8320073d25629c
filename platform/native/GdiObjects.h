// The native stand-in's GDI objects and device contexts. A handle is the address of one of
// these, looked up in a table before use.
#pragma once

#include "HandleTable.h"
#include "win32.h"

#include <cstdint>
#include <vector>

namespace native {

struct GdiObject {
  virtual ~GdiObject() = default;
  bool stock = false;  // stock objects are never deleted
};

struct Palette : GdiObject {
  std::vector<PALETTEENTRY> entries;
};

struct Brush : GdiObject {
  COLORREF color = 0;
  bool hollow = false;
};

struct DeviceContext;

// A 32-bit surface: one DWORD per pixel, blue in the low byte, rows in the order the
// BITMAPINFOHEADER gave.
struct Bitmap : GdiObject {
  LONG width = 0;
  LONG height = 0;
  bool topDown = false;
  std::vector<std::uint32_t> pixels;
  DeviceContext* selectedInto = nullptr;
  bool deletePending = false;  // deleted while selected: goes when it is deselected

  // y counts from the top, as device coordinates do.
  std::uint32_t* Row(LONG y) { return pixels.data() + static_cast<std::size_t>(topDown ? y : height - 1 - y) * width; }
};

struct DeviceContext {
  HPALETTE palette = nullptr;
  int bkMode = OPAQUE;
  Bitmap* bitmap = nullptr;
};

HandleTable<GdiObject>& GdiObjects();
HandleTable<DeviceContext>& DeviceContexts();

template <class T>
T* ObjectFromHandle(const void* handle) {
  return dynamic_cast<T*>(GdiObjects().Find(handle));
}
inline DeviceContext* DcFromHandle(HDC h) { return DeviceContexts().Find(h); }

template <class H>
H ToHandle(GdiObject* object) {
  return reinterpret_cast<H>(object);
}
inline HDC ToHandle(DeviceContext* dc) { return reinterpret_cast<HDC>(dc); }

// Releases a bitmap no device context holds any more, once it has been deleted.
void ReleaseIfPending(Bitmap* bitmap);

}  // namespace native
