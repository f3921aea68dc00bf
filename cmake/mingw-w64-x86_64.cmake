# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the posix-threads variant,
# so that std::thread works), linked statically: the .exe needs only KERNEL32 and
# msvcrt. Wine runs the tests: ctest and gtest_discover_tests go through it.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DKESTRAVA_BUILD_GUI=OFF -DKESTRAVA_BUILD_BENCH=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTRAVA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTRAVA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRAVA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRAVA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRAVA_MINGW_TRIPLE})
# The weld archive's libraries (SQLite, libxlsxwriter) from scripts/build-deps-mingw.
if(KESTRAVA_MINGW_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${KESTRAVA_MINGW_DEPS})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KESTRAVA_MINGW_DEPS)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run through scripts/wine-watched: wine64 with a time limit, and the stacks of
# every thread of a program that hangs (the wine launcher script itself would look for a
# 32-bit loader first).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-watched)
