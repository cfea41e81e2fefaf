# libqrencode, zint, libpng, FreeType and cpp-httplib (a header) for the cross build. Debian
# ships them for Linux only, so scripts/windows-libraries.sh builds them, static, from Debian's
# source packages at configure time, into the build tree or, with
# QRTICKET_WINDOWS_LIBRARIES_CACHE, into a folder there named after the script (which holds the
# pins) and the toolchain, so every clone and build tree reuses one build (a stamp keeps later
# configures free). zlib is Debian's libz-mingw-w64-dev. Their licences land in QRTICKET_WINDOWS_LICENCES for the release zip.
#
# QRTICKET_WINDOWS_LIBRARIES: ON (the default) requires them: a machine that cannot fetch or
# build them stops here, naming what is missing, rather than making a Windows build without
# --check, --probe and the virtual printer. OFF leaves them out on purpose: the command line
# without those three.
option(QRTICKET_WINDOWS_LIBRARIES
       "Cross build: libqrencode, zint, libpng, FreeType from Debian's source packages" ON)

# Every find_package(ZLIB) of the cross build takes libz.a, never the import library beside it.
set(ZLIB_USE_STATIC_LIBS ON)

if(NOT QRTICKET_WINDOWS_LIBRARIES)
  message(STATUS "Windows libraries: left out (QRTICKET_WINDOWS_LIBRARIES=OFF): no --check, "
                 "--probe or virtual printer")
  return()
endif()

set(windows_libraries_script ${PROJECT_SOURCE_DIR}/scripts/windows-libraries.sh)
set(QRTICKET_WINDOWS_LIBRARIES_CACHE "" CACHE PATH
    "Folder of Windows library builds shared by build trees (empty: inside this build tree)")
if(QRTICKET_WINDOWS_LIBRARIES_CACHE)
  file(SHA256 ${windows_libraries_script} script_sum)
  file(SHA256 ${CMAKE_TOOLCHAIN_FILE} toolchain_sum)
  string(SHA256 key "${script_sum} ${toolchain_sum}")
  string(SUBSTRING ${key} 0 16 key)
  set(windows_libraries_dir ${QRTICKET_WINDOWS_LIBRARIES_CACHE}/${key})
else()
  set(windows_libraries_dir ${CMAKE_BINARY_DIR}/windows-libraries)
endif()
set(windows_libraries_prefix ${windows_libraries_dir}/prefix)
file(MAKE_DIRECTORY ${windows_libraries_dir})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${windows_libraries_script})
# ccache, when this build has it, serves the libraries' compiles too.
set(libraries_launcher ${CMAKE_C_COMPILER_LAUNCHER})
if(NOT libraries_launcher)
  set(libraries_launcher ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
# Build trees configuring at once take turns (flock): the second finds the first one's stamp.
execute_process(
  COMMAND flock ${windows_libraries_dir}/.lock
          ${CMAKE_COMMAND} -E env "QRTICKET_LIBRARIES_LAUNCHER=${libraries_launcher}"
          bash ${windows_libraries_script} ${windows_libraries_prefix}
          ${windows_libraries_dir}/work
  RESULT_VARIABLE windows_libraries_result)
if(NOT windows_libraries_result EQUAL 0)
  message(FATAL_ERROR "The Windows build needs libqrencode, zint, libpng and FreeType, which "
                      "could not be built (see above). -DQRTICKET_WINDOWS_LIBRARIES=OFF makes a "
                      "build without --check, --probe and qrticket-view.exe.")
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
