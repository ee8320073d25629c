// The graphics wrappers' run-time classes and the device-context handle map.
#include "CBrush.h"
#include "CDC.h"
#include "CPalette.h"

#include <map>
#include <memory>

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CDC, CObject)

namespace {

std::map<HDC, std::unique_ptr<CDC>>& TempMap() {
  static thread_local std::map<HDC, std::unique_ptr<CDC>> map;
  return map;
}

}  // namespace

CDC* CDC::FromHandle(HDC hDC) {
  if (hDC == nullptr) return nullptr;
  std::unique_ptr<CDC>& pDC = TempMap()[hDC];
  if (!pDC) pDC = std::make_unique<CDC>(hDC);
  return pDC.get();
}

void CDC::DeleteTempMap() { TempMap().clear(); }

HPALETTE CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground) {
  return SelectPalette(pPalette ? static_cast<HPALETTE>(*pPalette) : nullptr, bForceBackground);
}
