# 32-bit Windows (i686) with mingw-w64; tests run under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KV2_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
