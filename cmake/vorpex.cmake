# Shared build settings and helper functions for every area.

set(VORPEX_THIRD_PARTY ${CMAKE_SOURCE_DIR}/third_party CACHE PATH "Unpacked and built third-party sources")
set(VORPEX_THIRD_PARTY_INSTALL ${VORPEX_THIRD_PARTY}/install)

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(VORPEX_WINDOWS ON)
  # Each word size has its own Scintilla.dll and Expat.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VORPEX_WORD_SIZE win64)
  else()
    set(VORPEX_WORD_SIZE win32)
  endif()
  set(VORPEX_TP ${VORPEX_THIRD_PARTY_INSTALL}/${VORPEX_WORD_SIZE})
else()
  set(VORPEX_WINDOWS OFF)
  set(VORPEX_TP ${VORPEX_THIRD_PARTY_INSTALL}/native)
endif()

option(VORPEX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_compile_options(-Wall -Wextra)
if(VORPEX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# The fuzzing build (clang): every file instrumented for libFuzzer's coverage (tests/fuzz).
option(VORPEX_LIBFUZZER "Build the libFuzzer programs of tests/fuzz (clang only)" OFF)
if(VORPEX_LIBFUZZER)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
if(VORPEX_WINDOWS)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # Everything we ship is loaded beside foreign programs: no MinGW runtime DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # x86 decorates a __stdcall export (Name@12); a DLL's exports are looked up by plain name.
  if(VORPEX_WORD_SIZE STREQUAL "win32")
    add_link_options($<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,SHARED_LIBRARY>:LINKER:--kill-at>)
  endif()
endif()

# vorpex_check_exports(TARGET [NAME...]): after each link, the DLL's export table must list
# exactly these names (scripts/check-exports); anything else fails the build.
function(vorpex_check_exports target)
  if(NOT VORPEX_WINDOWS)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-exports ${VORPEX_OBJDUMP} $<TARGET_FILE:${target}> ${ARGN}
    VERBATIM)
endfunction()

# Expat: the system library natively, the static library built by `./vorpex setup` for Windows.
if(NOT TARGET vorpex_expat)
  add_library(vorpex_expat INTERFACE)
  if(VORPEX_WINDOWS)
    target_include_directories(vorpex_expat INTERFACE ${VORPEX_TP}/include)
    target_link_libraries(vorpex_expat INTERFACE ${VORPEX_TP}/lib/libexpat.a)
    target_compile_definitions(vorpex_expat INTERFACE XML_STATIC)
  else()
    find_package(EXPAT REQUIRED)
    target_link_libraries(vorpex_expat INTERFACE EXPAT::EXPAT)
  endif()
endif()

# Scintilla's document core (for the headless IDE, of each word size) and Scintilla.dll (Windows
# only), built by `./vorpex setup`.
if(NOT TARGET vorpex_scintilla_core AND EXISTS ${VORPEX_TP}/lib/libscintilla_core.a)
  add_library(vorpex_scintilla_core INTERFACE)
  target_include_directories(vorpex_scintilla_core SYSTEM INTERFACE
    ${VORPEX_TP}/include/scintilla/include ${VORPEX_TP}/include/scintilla/src)
  target_link_libraries(vorpex_scintilla_core INTERFACE ${VORPEX_TP}/lib/libscintilla_core.a)
endif()
if(VORPEX_WINDOWS)
  set(VORPEX_SCINTILLA_DLL ${VORPEX_TP}/bin/Scintilla.dll)
  set(VORPEX_SCINTILLA_INCLUDE ${VORPEX_TP}/include/scintilla/include)
endif()

# GoogleTest: Debian's package natively; cross-built from Debian's sources for Windows.
if(VORPEX_WINDOWS)
  set(VORPEX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, built with the Windows compilers")
  if(NOT TARGET gtest)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${VORPEX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  set(VORPEX_GTEST_MAIN gtest_main)
  set(VORPEX_GTEST gtest)
else()
  find_package(GTest REQUIRED)
  set(VORPEX_GTEST_MAIN GTest::gtest_main)
  set(VORPEX_GTEST GTest::gtest)
endif()
include(GoogleTest)

# vorpex_unit_test(NAME SOURCES ... LIBS ...): one GoogleTest program; every test case is one CTest test.
# Natively it runs as is; in the Windows build it runs under Wine (the crosscompiling emulator).
function(vorpex_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${VORPEX_GTEST_MAIN})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES LABELS "unit")
endfunction()

# Staging folders of the Windows build, laid out as on a user's machine.
set(VORPEX_STAGE ${CMAKE_BINARY_DIR}/stage)
set(VORPEX_STAGE_IDE ${VORPEX_STAGE}/ide)     # standin-ide.exe + Scintilla.dll
set(VORPEX_STAGE_TOOL ${VORPEX_STAGE}/tool)   # toolhost.exe + Zentrel.dll, nothing else
