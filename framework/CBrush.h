// A brush.
#pragma once

#include "CGdiObject.h"

class CBrush : public CGdiObject {
  DECLARE_DYNAMIC(CBrush)

 public:
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }

  BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
};
