# How Zeitrechner is laid out when installed, and its Debian package (cpack -G DEB).
#
#   <prefix>/lib/zeitrechner/Zeitrechner       the executable
#   <prefix>/lib/zeitrechner/Zeitrechner.chm   its help, which it looks for beside itself
#   <prefix>/bin/Zeitrechner                   -> ../lib/zeitrechner/Zeitrechner
#   <prefix>/share/applications/de.tiv.Zeitrechner.desktop
#   <prefix>/share/metainfo/de.tiv.Zeitrechner.metainfo.xml
#   <prefix>/share/icons/hicolor/{scalable,16x16,...,256x256}/apps/de.tiv.Zeitrechner.{svg,png}
#
# The program folder is lib/zeitrechner, not libexec: it holds a data file (the help) beside
# the executable, and <prefix>/lib/<package> is where Debian keeps such a private program tree.
# The command on the PATH is a relative symlink: the program finds its real path through
# /proc/self/exe, so its caption, help file and settings key stay those of the real file,
# and the tree can be moved to another prefix whole.
include(GNUInstallDirs)

set(ZR_APP_ID de.tiv.Zeitrechner)
set(ZR_ICON_SIZES 16 22 24 32 48 64 128 256)
# The project's repository: its home page, and the screenshot (docs/screenshot.png) that
# software centres fetch from it.
set(ZR_HOMEPAGE_URL "https://git.tiv.de/tiv/zeitrechner" CACHE STRING
  "The project's home page, named in the metainfo and the package")
set(ZR_SCREENSHOT_URL "${ZR_HOMEPAGE_URL}/raw/branch/main/docs/screenshot.png" CACHE STRING
  "Where software centres fetch the main window's screenshot from")
set(ZR_INSTALL_PROGRAMDIR lib/zeitrechner CACHE STRING
  "Folder below the prefix that holds the executable and its help file")
# Everything the package holds belongs to this component; cpack installs only it.
set(ZR_INSTALL_COMPONENT program)

add_subdirectory(${PROJECT_SOURCE_DIR}/packaging ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS Zeitrechner RUNTIME DESTINATION ${ZR_INSTALL_PROGRAMDIR}
  COMPONENT ${ZR_INSTALL_COMPONENT})
install(FILES ${CMAKE_BINARY_DIR}/app/Zeitrechner.chm DESTINATION ${ZR_INSTALL_PROGRAMDIR}
  COMPONENT ${ZR_INSTALL_COMPONENT})

# The link is made in the build tree and installed as it is (install copies a symlink as a
# symlink), so that DESTDIR, cpack and a later prefix all get the same relative target.
file(RELATIVE_PATH zr_link_target /prefix/${CMAKE_INSTALL_BINDIR}
  /prefix/${ZR_INSTALL_PROGRAMDIR}/Zeitrechner)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/bin)
file(CREATE_LINK ${zr_link_target} ${CMAKE_BINARY_DIR}/packaging/bin/Zeitrechner SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/bin/Zeitrechner DESTINATION ${CMAKE_INSTALL_BINDIR}
  COMPONENT ${ZR_INSTALL_COMPONENT})

install(FILES ${PROJECT_SOURCE_DIR}/packaging/${ZR_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT ${ZR_INSTALL_COMPONENT})
install(FILES ${CMAKE_BINARY_DIR}/packaging/${ZR_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT ${ZR_INSTALL_COMPONENT})
install(FILES ${PROJECT_SOURCE_DIR}/app/Zeitrechner.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${ZR_APP_ID}.svg
  COMPONENT ${ZR_INSTALL_COMPONENT})
install(DIRECTORY ${CMAKE_BINARY_DIR}/packaging/icons/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor COMPONENT ${ZR_INSTALL_COMPONENT})

# The Debian package. Its library dependencies come from dpkg-shlibdeps over the executable.
# What the program loads at run time is named by hand, since no linked library leads to it:
# it needs the X11 platform plugin (qt6-qpa-plugins) and the SVG image and icon plugins that
# read its window icon (libqt6svg6); it recommends Qt's own German texts (qtbase_de, in
# qt6-translations-l10n), without which standard dialogs and key names show in English.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zeitrechner)
set(CPACK_PACKAGE_VERSION 01.00)
set(CPACK_PACKAGE_VENDOR Tiv)
set(CPACK_PACKAGE_CONTACT "Tiv <zeitrechner@tiv.de>" CACHE STRING
  "Maintainer named in the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Rechner für Laufzeiten, auf die Tausendstelsekunde genau")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Rechner für Laufzeiten, auf die Tausendstelsekunde genau
Der Zeitrechner addiert, subtrahiert und multipliziert Zeiten wie Laufzeiten:
„8:14,54“ plus „0,23“ ergibt „8:14,77“. Er zeigt das Ergebnis in der
gewählten Auflösung und rundet es auf Wunsch nach der IAAF-Regel auf.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZR_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};${ZR_INSTALL_COMPONENT};/")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
