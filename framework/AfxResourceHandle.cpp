#include "AfxModuleState.h"

HINSTANCE AfxGetResourceHandle() {
  const HINSTANCE hResource = AfxGetModuleState()->m_hCurrentResourceHandle;
  return hResource != nullptr ? hResource : ::GetModuleHandleA(nullptr);
}
