# Installs the build into a scratch DESTDIR and checks the desktop integration landed:
# cmake -DBUILD_DIR=... -DDESTDIR_ROOT=... -P check_install.cmake
file(REMOVE_RECURSE ${DESTDIR_ROOT})
set(ENV{DESTDIR} ${DESTDIR_ROOT})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file
    usr/bin/qrticket
    usr/bin/qrticket-gui
    usr/share/applications/qrticket.desktop
    usr/share/icons/hicolor/16x16/apps/qrticket.png
    usr/share/icons/hicolor/32x32/apps/qrticket.png)
  if(NOT EXISTS ${DESTDIR_ROOT}/${file})
    message(FATAL_ERROR "not installed: /${file}")
  endif()
endforeach()
file(READ ${DESTDIR_ROOT}/usr/share/applications/qrticket.desktop desktop)
foreach(line "Exec=qrticket-gui" "Icon=qrticket" "Name=QR Code - Teste"
             "Comment=Teste de impressão do QR Code em impressoras em modo ESC/POS")
  string(FIND "${desktop}" "\n${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "qrticket.desktop lacks the line: ${line}")
  endif()
endforeach()
file(REMOVE_RECURSE ${DESTDIR_ROOT})
message(STATUS "installed layout ok")
