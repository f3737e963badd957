# Cross-builds for 64-bit ARM (Debian arm64) on an x86-64 Debian host:
#   cmake --preset arm64    (CMakePresets.json: this file, in build-arm64/)
# The compiler is Debian's g++-aarch64-linux-gnu; the libraries are the arm64 ones
# multiarch installs beside the host's, in /usr/lib/aarch64-linux-gnu
# (tools/deps-arm64.sh installs both). ctest runs the tests under qemu-aarch64.
# Leaves tools/ and the display tests out (MARBLE_TOOLS); `make package-arm64`
# packs the arm64 .deb.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# The cross compiler's own C and C++ runtimes live under /usr/aarch64-linux-gnu;
# everything else is found through the arm64 library folder of the host's /usr.
# Programs (pkg-config, the emulator) are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# Never pick up an x86-64 library: it would not link, and it would mix x86-64 and
# arm64 folders in the runtime search path.
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /lib/x86_64-linux-gnu)

# pkg-config reads the arm64 .pc files (and the architecture-independent ones),
# never the host's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# Test programs, and the listing of their tests, run under user-mode emulation,
# with the arm64 loader and C library multiarch installs: both from one build of
# glibc. The cross compiler's copies under /usr/aarch64-linux-gnu are a different
# build, and a loader from there with the multiarch libc.so.6 hangs in fork().
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /)
