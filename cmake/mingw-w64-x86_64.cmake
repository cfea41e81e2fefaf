# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix flavour of the compiler gives std::thread and std::mutex (winpthreads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QRTICKET_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QRTICKET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QRTICKET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QRTICKET_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW tree only, never from the Linux system's.
set(CMAKE_FIND_ROOT_PATH /usr/${QRTICKET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -O2 rather than CMake's -O3 for Release: GCC 12 at -O3 warns wrongly (-Wrestrict) on
# string concatenations, and nothing here is a hot loop. Cache settings win over this.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of a Release build")

# Self-contained programs: the C++ runtime, libgcc and winpthreads linked in, so an .exe
# needs no DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# No CMAKE_CROSSCOMPILING_EMULATOR: nothing may start Wine outside the tests' own prefix (a
# Wine started without WINEPREFIX makes ~/.wine, where COM1 is the machine's /dev/ttyS0). The
# tests run the programs under Wine themselves (tests/wine).
