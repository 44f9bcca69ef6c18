# SPDX-License-Identifier: GPL-3.0-or-later
# Installation and the Debian package.
#
#   cmake --install <build> --prefix <dir>   bin/quillet, bin/quillet-cli,
#                                            lib/quillet/plugins/quillet-engine.so,
#                                            the desktop entry, icons, MIME type,
#                                            AppStream data, manual pages,
#                                            bash completion, copyright
#   scripts/package.sh                       the .deb, made by CPack
#
# Only the two programs, the browser engine plugin and their desktop and
# documentation files are installed: test programs and the static libraries
# have no install rules.
include(GNUInstallDirs)

set(QUILLET_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(QUILLET_MAINTAINER "Quillet Developers <developers@quillet.example.org>"
  CACHE STRING "The package's maintainer, as name <address>")
set(QUILLET_HOMEPAGE "https://quillet.example.org")

install(TARGETS quillet quillet-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The browser engine plugin, in the program's own library folder (the
# program finds it there from its own place).
install(TARGETS quillet_engine LIBRARY DESTINATION ${QUILLET_ENGINE_INSTALL_DIR})
install(FILES ${QUILLET_PACKAGING_DIR}/${QUILLET_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUILLET_PACKAGING_DIR}/${QUILLET_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The shared MIME database names its source files after the package.
install(FILES ${QUILLET_PACKAGING_DIR}/quillet-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME quillet.xml)
install(FILES ${QUILLET_PACKAGING_DIR}/icons/quillet.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${QUILLET_APP_ID}.svg)
foreach(size 16 32 48 64 128 256)
  install(FILES ${QUILLET_PACKAGING_DIR}/icons/quillet-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${QUILLET_APP_ID}.png)
endforeach()
install(FILES ${QUILLET_PACKAGING_DIR}/completion/quillet-cli
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Documentation as Debian keeps it: the copyright file and a compressed
# changelog (gzip -n: no name or time stamp, so builds repeat byte for byte).
set(QUILLET_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillet)
install(FILES ${QUILLET_PACKAGING_DIR}/copyright DESTINATION ${QUILLET_DOC_DIR})
# Each override carries its reason on the line above it.
install(FILES ${QUILLET_PACKAGING_DIR}/lintian/quillet
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  COMMAND gzip -9nc ${QUILLET_PACKAGING_DIR}/changelog > ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  DEPENDS ${QUILLET_PACKAGING_DIR}/changelog VERBATIM)
add_custom_target(quillet_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${CMAKE_BINARY_DIR}/changelog.Debian.gz DESTINATION ${QUILLET_DOC_DIR})

# Manual pages made from the programs' own --help and --version, so the two
# never disagree. help2man is needed only to install (scripts/package.sh
# brings it); builds without it skip the pages.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(QUILLET_MAN_quillet "keep web links in a tree of headings")
  set(QUILLET_MAN_quillet-cli "work on Quillet bookmark documents from scripts")
  set(QUILLET_MAN_PAGES)
  foreach(program quillet quillet-cli)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
        ${HELP2MAN} --no-info --section=1 --source=Quillet
        "--name=${QUILLET_MAN_${program}}" --output=${CMAKE_BINARY_DIR}/man/${program}.1
        $<TARGET_FILE:${program}>
      COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/${program}.1
      DEPENDS ${program} VERBATIM)
    list(APPEND QUILLET_MAN_PAGES ${page})
  endforeach()
  add_custom_target(quillet_man_pages ALL DEPENDS ${QUILLET_MAN_PAGES})
  install(FILES ${QUILLET_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "Quillet Developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bookmark manager with a tree of headings")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillet keeps web links in a tree of headings, each with a name, a link,\n"
  "a date, a description and, optionally, a picture and a page thumbnail,\n"
  "in one password-protected document file. Every edit stays pending until\n"
  "it is saved.\n"
  "\n"
  "It imports and exports browser bookmark files, reads Firefox and Chromium\n"
  "profiles, captures page snapshots, finds bookmarks, lists duplicate\n"
  "links, and backs up, restores and compacts documents. quillet-cli lists,\n"
  "finds, exchanges and backs up bookmarks from scripts.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The Debian revision of the package (its changelog's first entry says the
# same): quillet_<version>-<release>_<arch>.deb.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUILLET_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUILLET_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Library dependencies (Qt 6, QtWebEngine, SQLCipher, libpng) are read from
# the binaries by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The desktop files' caches are refreshed by these packages' triggers;
# opening links needs xdg-open (and xdg-mime its MIME reader to tell a
# document by its name), the help file needs chmcmd.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "hicolor-icon-theme, shared-mime-info, desktop-file-utils, xdg-utils, libfile-mimeinfo-perl")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fp-utils")
include(CPack)
