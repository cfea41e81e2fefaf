# libqrencode, zint, libpng and FreeType for the cross build. Debian ships them for Linux only,
# so scripts/windows-libraries.sh builds them, static, from Debian's source packages into the
# build tree at configure time (once: a stamp keeps later configures free). zlib is Debian's
# libz-mingw-w64-dev. Their licences land in QRTICKET_WINDOWS_LICENCES for the release zip.
#
# QRTICKET_WINDOWS_LIBRARIES: AUTO builds them, and when that fails (a source file the archive
# does not deliver, no network) warns and goes on with the ones built before in this tree, or
# without any, as the cross build did before: no --check or --probe, no viewer. ON makes them
# required (a release); OFF leaves them out.
set(QRTICKET_WINDOWS_LIBRARIES AUTO CACHE STRING
    "Cross build: libqrencode, zint, libpng, FreeType from Debian's source packages (AUTO, ON, OFF)")
set_property(CACHE QRTICKET_WINDOWS_LIBRARIES PROPERTY STRINGS AUTO ON OFF)
set(QRTICKET_WINDOWS_LIBRARIES_UPSTREAM_ONLY "" CACHE STRING
    "Source packages (e.g. qrencode) that may build from their upstream tarballs alone, without Debian's patches, when the archive lacks their .debian.tar")

# Every find_package(ZLIB) of the cross build takes libz.a, never the import library beside it.
set(ZLIB_USE_STATIC_LIBS ON)

if(NOT QRTICKET_WINDOWS_LIBRARIES)
  return()
endif()

set(windows_libraries_script ${PROJECT_SOURCE_DIR}/scripts/windows-libraries.sh)
set(windows_libraries_prefix ${CMAKE_BINARY_DIR}/windows-libraries/prefix)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${windows_libraries_script})
string(REPLACE ";" " " upstream_only "${QRTICKET_WINDOWS_LIBRARIES_UPSTREAM_ONLY}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "QRTICKET_UPSTREAM_ONLY=${upstream_only}"
          bash ${windows_libraries_script} ${windows_libraries_prefix}
          ${CMAKE_BINARY_DIR}/windows-libraries/work
  RESULT_VARIABLE windows_libraries_result)
if(NOT windows_libraries_result EQUAL 0)
  if(NOT QRTICKET_WINDOWS_LIBRARIES STREQUAL "AUTO")
    message(FATAL_ERROR "The Windows libraries could not be built (see above).")
  elseif(EXISTS ${windows_libraries_prefix}/.stamp)
    # Built before in this tree (other pins, or before a point release moved one on): kept, as
    # the find results cached in this tree point at them.
    message(WARNING "The Windows libraries could not be built again (see above): this build "
                    "keeps the ones built before in ${windows_libraries_prefix}.")
  else()
    message(WARNING "The Windows libraries could not be built (see above): this build goes "
                    "without libqrencode, zint, libpng and FreeType. -DQRTICKET_WINDOWS_LIBRARIES=ON "
                    "makes them required, OFF stops trying.")
    return()
  endif()
endif()

# find_path, find_library and find_package look in the prefix first, then the MinGW tree;
# pkg-config finds libqrencode.pc there.
list(PREPEND CMAKE_FIND_ROOT_PATH ${windows_libraries_prefix})
list(PREPEND CMAKE_PREFIX_PATH ${windows_libraries_prefix})
set(ENV{PKG_CONFIG_LIBDIR} "${windows_libraries_prefix}/lib/pkgconfig:$ENV{PKG_CONFIG_LIBDIR}")
set(QRTICKET_WINDOWS_LICENCES ${windows_libraries_prefix}/licences)

# FindFreetype knows nothing of the static library's zlib: its target takes it along here, and
# later find_package(Freetype) calls below this directory reuse the target.
find_package(ZLIB REQUIRED)
find_package(Freetype REQUIRED)
set_property(TARGET Freetype::Freetype APPEND PROPERTY INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
message(STATUS "Windows libraries: ${windows_libraries_prefix}")
