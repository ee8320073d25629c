// The native stand-in's GDI objects. A handle is the address of one of these.
#pragma once

#include "win32.h"

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

struct DeviceContext {
  HPALETTE palette = nullptr;
  int bkMode = OPAQUE;
};

inline GdiObject* FromHandle(HGDIOBJ h) { return static_cast<GdiObject*>(h); }
inline HGDIOBJ ToHandle(GdiObject* o) { return o; }
Palette* PaletteFromHandle(HPALETTE h);
inline HPALETTE ToHandle(Palette* p) { return reinterpret_cast<HPALETTE>(static_cast<GdiObject*>(p)); }
inline HBRUSH ToHandle(Brush* b) { return reinterpret_cast<HBRUSH>(static_cast<GdiObject*>(b)); }
inline DeviceContext* DcFromHandle(HDC h) { return reinterpret_cast<DeviceContext*>(h); }
inline HDC ToHandle(DeviceContext* dc) { return reinterpret_cast<HDC>(dc); }

}  // namespace native
