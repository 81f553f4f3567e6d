# The Debian package: `cpack --config build/CPackConfig.cmake` (or `cmake --build build
# --target package`) makes zorvexa_VERSION_ARCH.deb of the install rules. Library
# dependencies come from the binaries (dpkg-shlibdeps); what the programs load at run time
# without linking it is named here. The menu entries, icons, metadata and manual pages
# are registered by the triggers of desktop-file-utils, hicolor-icon-theme, appstream and
# man-db on their folders, so the package needs no scripts of its own.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvexa)
set(CPACK_PACKAGE_VENDOR "Zorvexa developers")
set(CPACK_PACKAGE_CONTACT "Zorvexa developers <zorvexa@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control the desktop by exercising in front of a webcam")
set(CPACK_PACKAGE_DESCRIPTION
    "Zorvexa watches you through the webcam and recognises arm strokes (both arms up or\n"
    "down, one arm down on either side, a clap). Each stroke becomes keystrokes, mouse\n"
    "movement, a click or the opening of a file in the application in front, as its\n"
    "config.xml says. Strokes are counted and priced in calories, with a sessions log.\n"
    "Also contains vintrel (webcam settings), osmerak (key-driven command selection)\n"
    "and zorvexa-analyze (the motion analysis on video files).")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 platform plugin is loaded at run time, not linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The desktop's opener (sessions log, config.xml, EXECUTE bindings) and a font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdotool")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package) # staging and the .deb stay in the build tree
include(CPack)
