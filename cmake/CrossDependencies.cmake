# Dependencies of a cross build (Windows with MinGW-w64) taken from the Debian build machine
# without letting its Linux headers into the build: CLI11 is header-only and its headers are
# copied into the build tree; GoogleTest is built from the sources Debian ships
# (tests/win/CMakeLists.txt).

# CLI11 (libcli11-dev): a package configuration of our own that points at the copy.
find_path(QRTICKET_CLI11_HEADERS CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
if(NOT QRTICKET_CLI11_HEADERS)
  message(FATAL_ERROR "CLI11's headers were not found in /usr/include/CLI (Debian: libcli11-dev)")
endif()
set(cross_include ${CMAKE_BINARY_DIR}/cross-include)
file(COPY ${QRTICKET_CLI11_HEADERS}/CLI DESTINATION ${cross_include})
file(WRITE ${CMAKE_BINARY_DIR}/cross-cmake/CLI11Config.cmake
  "if(NOT TARGET CLI11::CLI11)\n"
  "  add_library(CLI11::CLI11 INTERFACE IMPORTED)\n"
  "  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES \"${cross_include}\")\n"
  "endif()\n")
set(CLI11_DIR ${CMAKE_BINARY_DIR}/cross-cmake CACHE PATH "CLI11 for the cross build" FORCE)

# pkg-config finds the MinGW tree's packages only, never the Linux ones beside it.
set(ENV{PKG_CONFIG_LIBDIR} "${CMAKE_FIND_ROOT_PATH}/lib/pkgconfig:${CMAKE_FIND_ROOT_PATH}/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# libqrencode, zint, libpng and FreeType, built from Debian's source packages.
include(${CMAKE_CURRENT_LIST_DIR}/WindowsLibraries.cmake)
