# 64-bit Windows (x86_64) with mingw-w64; tests run under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KV2_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
