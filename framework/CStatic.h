// A static control: a label or an icon.
#pragma once

#include "CWnd.h"

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)
};
