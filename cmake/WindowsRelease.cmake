# The Windows release: the programs, stripped, with LEIA-ME.txt (docs/LEIA-ME.txt, for the
# technician who unzips it) and LICENCAS\ (the licences of everything linked into them), the
# texts with CR LF line ends for Notepad, in a zip. Nothing to install: unzip and run.
#   cmake --build BUILD --target qrticket_windows_zip  ->  BUILD/qrticket-VERSION-windows-x86_64.zip
set(release_name qrticket-${PROJECT_VERSION}-windows-x86_64)
set(release_stage ${CMAKE_BINARY_DIR}/${release_name})
set(release_zip ${CMAKE_BINARY_DIR}/${release_name}.zip)

# The programs of the release, each as it is built here (tests/wine/check_release_zip.sh
# wants every program named in LEIA-ME.txt).
set(release_program_names qrticket-gui qrticket qrticket-view)
set(release_programs "")
set(strip_commands "")
foreach(program ${release_program_names})
  if(TARGET ${program})
    list(APPEND release_programs ${program})
    list(APPEND strip_commands
         COMMAND ${CMAKE_STRIP} -o ${release_stage}/${program}.exe $<TARGET_FILE:${program}>)
  endif()
endforeach()

# The libraries' licences (cmake/WindowsLibraries.cmake collected them), and the toolchain's:
# the MinGW-w64 start-up code and winpthreads, and GCC's C++ runtime, are linked in as well.
set(release_licences "")
if(QRTICKET_WINDOWS_LICENCES)
  file(GLOB library_licences ${QRTICKET_WINDOWS_LICENCES}/*.txt)
  foreach(file ${library_licences})
    get_filename_component(name ${file} NAME)
    list(APPEND release_licences "${name}=${file}")
  endforeach()
endif()
list(APPEND release_licences
  "mingw-w64.txt=/usr/share/doc/mingw-w64-common/copyright"
  "gcc-runtime.txt=/usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright")
set(release_licence_files "")
foreach(entry ${release_licences})
  string(REGEX REPLACE "^[^=]*=" "" file "${entry}")
  list(APPEND release_licence_files ${file})
endforeach()
set(release_texts_script ${PROJECT_SOURCE_DIR}/cmake/WindowsReleaseTexts.cmake)
set(leia_me ${PROJECT_SOURCE_DIR}/docs/LEIA-ME.txt)

add_custom_command(
  OUTPUT ${release_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${release_stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${release_stage}
  ${strip_commands}
  COMMAND ${CMAKE_COMMAND} -DLEIA_ME=${leia_me} "-DLICENCES=${release_licences}"
          -DSTAGE=${release_stage} -P ${release_texts_script}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${release_zip}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}
          ${CMAKE_COMMAND} -E tar cf ${release_zip} --format=zip ${release_name}
  DEPENDS ${release_programs} ${leia_me} ${release_texts_script} ${release_licence_files}
  COMMENT "Packing ${release_name}.zip"
  VERBATIM)
add_custom_target(qrticket_windows_zip ALL DEPENDS ${release_zip})
