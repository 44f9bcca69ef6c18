# Installation and the Debian package.
#
#   cmake --install <build> --prefix <dir>   bin/quillet, bin/quillet-cli, the
#                                            desktop entry, icons, MIME type
#   scripts/package.sh                       the .deb, made by CPack
#
# Only the two programs and the desktop files are installed: test programs
# and the static libraries have no install rules.
include(GNUInstallDirs)

set(QUILLET_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS quillet quillet-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${QUILLET_PACKAGING_DIR}/quillet.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The shared MIME database names its source files after the package.
install(FILES ${QUILLET_PACKAGING_DIR}/quillet-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME quillet.xml)
install(FILES ${QUILLET_PACKAGING_DIR}/icons/quillet.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${QUILLET_PACKAGING_DIR}/icons/quillet-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME quillet.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "Quillet")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop bookmark manager")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillet keeps web links in a tree of headings, each with a name, a link,\n"
  "a date, a description and, optionally, a picture and a page thumbnail,\n"
  "in one password-protected document file (.rdb). It finds bookmarks, lists\n"
  "duplicate links, and backs up, restores and compacts documents.\n"
  "quillet-cli lists, finds, exchanges and backs up bookmarks from scripts.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillet developers <quillet@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies (Qt 6, QtWebEngine, SQLCipher, libpng) are read from
# the binaries by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The desktop files' caches are refreshed by these packages' triggers;
# opening links needs xdg-open, the help file needs chmcmd.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, shared-mime-info, desktop-file-utils, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fp-utils")
include(CPack)
