# Windows x86 (32-bit) through MinGW-w64: the x64 toolchain file with the i686 compilers.
set(VORPEX_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
