# The release's texts with CR LF line ends, for Notepad: LEIA_ME as STAGE/LEIA-ME.txt and each
# file of LICENCES (NAME=PATH) as STAGE/LICENCAS/NAME. Run at build time by WindowsRelease.cmake:
#   cmake -DLEIA_ME=... "-DLICENCES=zint.txt=/path/LICENSE;..." -DSTAGE=... -P WindowsReleaseTexts.cmake
function(copy_with_crlf input output)
  file(READ "${input}" text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${output}" "${text}")
endfunction()

copy_with_crlf("${LEIA_ME}" "${STAGE}/LEIA-ME.txt")
file(MAKE_DIRECTORY "${STAGE}/LICENCAS")
foreach(entry IN LISTS LICENCES)
  string(FIND "${entry}" "=" at)
  string(SUBSTRING "${entry}" 0 ${at} name)
  math(EXPR at "${at} + 1")
  string(SUBSTRING "${entry}" ${at} -1 path)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "The licence ${name} is missing: ${path}")
  endif()
  copy_with_crlf("${path}" "${STAGE}/LICENCAS/${name}")
endforeach()
