// The order in which static initialisation builds the program's global objects after the
// framework's module state, first to last; at exit they are destroyed in the reverse order.
// Each of them is defined with AFX_INIT_ORDER(stage).
#pragma once

#include "AfxInitPriority.h"

enum AFX_INIT_STAGE : int {
  AFX_INIT_CLASS_CBUBBLE = AFX_INIT_MODULE_STATE + 1,
  AFX_INIT_CLASS_CBUBBLELIST,
  AFX_INIT_CLASS_CDIB,
  AFX_INIT_RECT_EDIT,
  AFX_INIT_RECT_LABEL,
  AFX_INIT_CLASS_CPHASEDSPRITE,
  AFX_INIT_CLASS_CSPRITE,
  AFX_INIT_APP,
  AFX_INIT_LINE_PARSER,
  AFX_INIT_RESOURCE_MANAGER,
};
