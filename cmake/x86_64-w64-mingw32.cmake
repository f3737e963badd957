# Cross-builds for 64-bit Windows on an x86-64 Debian host:
#   cmake --preset windows    (CMakePresets.json: this file, in build-windows/)
# The compiler is Debian's MinGW-w64 GCC with POSIX threads (g++-mingw-w64-x86-64-posix);
# OpenGL and GLU are Windows' own (opengl32, glu32), and freeglut is the static library
# tools/deps-windows.sh builds from Debian's source into .deps/mingw. ctest runs the
# tests under Wine (tests/scripts/wine-run.sh). Leaves tools/ and the display tests
# out (MARBLE_TOOLS).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The cross compiler's own headers and libraries, and freeglut's; programs are the host's.
get_filename_component(MARBLE_DEPS_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../.deps/mingw" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${MARBLE_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs, and the listing of their tests, run under Wine in a prefix of the
# build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/scripts/wine-run.sh)

# Programs need only the DLLs every Windows has: the C and C++ runtimes and the
# threads library are linked in. No time stamp in the program's header, so the same
# sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
