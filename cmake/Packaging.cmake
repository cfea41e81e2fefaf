# A Debian package of everything `cmake --install` puts in place: `cpack -G DEB` in a build dir.
set(CPACK_PACKAGE_NAME "qrticket")
set(CPACK_PACKAGE_VENDOR "Brevalunda - Sistemas de Informação, Lda")
set(CPACK_PACKAGE_CONTACT "${QRTICKET_PUBLISHER_EMAIL}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://${QRTICKET_PUBLISHER_WEB}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "qrticket")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brevalunda <${QRTICKET_PUBLISHER_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION
    "Prints one QR test ticket to a receipt printer's port: a header, the printer's own
QR-code commands carrying the text, an echo of the parameters and a footer. Window
program qrticket-gui and command line tool qrticket; Portuguese interface.")
set(CPACK_STRIP_FILES ON)
# The shared libraries (Qt, libc, ...) come from dpkg-shlibdeps; these are what the window
# needs besides: the X11 platform plugin and the font its layout was drawn with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
if(TARGET qrticket_viewer)
  # The virtual printer draws its text with this font.
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", fonts-dejavu-core")
endif()
# Qt's own texts (file dialog, context menus) in Portuguese; without it they stay in English.
# libcups is loaded at run time for CUPS queues only (dpkg-shlibdeps does not see it), so a
# machine without CUPS can still print to ports, files and network printers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libcups2")

include(CPack)
