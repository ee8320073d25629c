#include "AfxModuleState.h"

HINSTANCE AfxGetResourceHandle() { return ::GetModuleHandleA(nullptr); }
