# Shared part of the mingw-w64 toolchains; the including file sets KV2_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix compilers: the default win32-thread ones lack std::mutex, which GoogleTest needs.
# Either kind links its thread support statically, so an .exe still needs no DLL.
set(CMAKE_C_COMPILER ${KV2_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KV2_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KV2_MINGW_TRIPLE}-windres)
# Resource scripts are UTF-8; without this windres garbles them silently.
set(CMAKE_RC_FLAGS_INIT "-c 65001")

set(CMAKE_FIND_ROOT_PATH /usr/${KV2_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime, so an .exe runs with no DLL beside it, here and on Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest, and GoogleTest's discovery, run the cross-built executables under Wine in the
# project's own prefix.
get_filename_component(_kv2_source_dir ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${_kv2_source_dir}/scripts/wine-run)

# What ships is stripped: symbols only weigh the download.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
