# Windows through MinGW-w64 with posix threads (GoogleTest needs std::thread): x64 by default,
# x86 when VORPEX_MINGW_ARCH is i686 (cmake/mingw-w64-i686.cmake sets it).
if(NOT DEFINED VORPEX_MINGW_ARCH)
  set(VORPEX_MINGW_ARCH x86_64)
endif()
set(VORPEX_MINGW ${VORPEX_MINGW_ARCH}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VORPEX_MINGW_ARCH})
set(CMAKE_C_COMPILER ${VORPEX_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORPEX_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VORPEX_MINGW}-windres)
set(VORPEX_OBJDUMP ${VORPEX_MINGW}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${VORPEX_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test programs run under Wine through the project's harness.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
