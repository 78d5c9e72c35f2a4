# Cross build for 64-bit Windows with mingw-w64 (POSIX threads flavour, for
# std::thread and std::mutex), from a Debian host.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(STOCK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${STOCK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${STOCK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${STOCK_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${STOCK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One self-contained executable: the C++ runtime and winpthreads linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Cross-built tests run under Wine.
find_program(STOCK_WINE NAMES wine wine64)
if(STOCK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${STOCK_WINE})
endif()
