# The Windows release: qrticket.exe, stripped, in a zip with the README's Windows section as
# LEIA-ME.txt (CR LF line ends, for Notepad). Nothing to install: unzip and run.
#   cmake --build BUILD --target qrticket_windows_zip   ->  BUILD/qrticket-VERSION-windows-x86_64.zip
set(release_name qrticket-${PROJECT_VERSION}-windows-x86_64)
set(release_stage ${CMAKE_BINARY_DIR}/${release_name})
set(release_zip ${CMAKE_BINARY_DIR}/${release_name}.zip)
add_custom_command(
  OUTPUT ${release_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${release_stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${release_stage}
  COMMAND ${CMAKE_STRIP} -o ${release_stage}/qrticket.exe $<TARGET_FILE:qrticket>
  COMMAND ${CMAKE_COMMAND} -DREADME=${PROJECT_SOURCE_DIR}/README.md
          -DOUTPUT=${release_stage}/LEIA-ME.txt -P ${PROJECT_SOURCE_DIR}/cmake/ReadmeSection.cmake
  COMMAND ${CMAKE_COMMAND} -E rm -f ${release_zip}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}
          ${CMAKE_COMMAND} -E tar cf ${release_zip} --format=zip ${release_name}
  DEPENDS qrticket ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/ReadmeSection.cmake
  COMMENT "Packing ${release_name}.zip"
  VERBATIM)
add_custom_target(qrticket_windows_zip ALL DEPENDS ${release_zip})
