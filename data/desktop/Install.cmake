# What `cmake --install` (and the Debian package) puts where, as a desktop program:
#   bin/                       zorvexa, vintrel, osmerak, zorvexa-analyze
#   share/zorvexa/             shipped config.xml and commands.xml, the sessions log
#                              template (installed by main/shell), DemoVideos/
#   share/applications/        one menu entry per program
#   share/icons/hicolor/       the programs' icons: SVG, and PNG sizes made at build time
#   share/metainfo/            AppStream metadata
#   share/man/man1/            a manual page per program
include(GNUInstallDirs)

set(ZV_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/data/desktop)
set(ZV_PROGRAMS zorvexa vintrel osmerak)

install(TARGETS ${ZV_PROGRAMS} zorvexa-analyze RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${ZORVEXA_DATA_DIR}/config.xml ${ZORVEXA_DATA_DIR}/commands.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zorvexa)
# The uinput rule is shipped for the user to copy into /etc/udev/rules.d, never active
# by itself: it lets every program of the user create input devices.
install(FILES ${ZV_DESKTOP_DIR}/70-zorvexa-uinput.rules DESTINATION ${CMAKE_INSTALL_DATADIR}/zorvexa)
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/DemoVideos
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zorvexa FILES_MATCHING PATTERN "*.avi")

foreach(program ${ZV_PROGRAMS})
  install(FILES ${ZV_DESKTOP_DIR}/${program}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${ZV_DESKTOP_DIR}/icons/${program}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endforeach()
install(FILES ${ZV_DESKTOP_DIR}/io.github.zorvexa.Zorvexa.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The PNG sizes menus and panels ask for, rendered from the SVG files.
find_program(ZV_RSVG_CONVERT rsvg-convert)
if(ZV_RSVG_CONVERT)
  set(ZV_ICON_SIZES 16 22 24 32 48 64 128 256)
  set(zv_icon_outputs)
  foreach(program ${ZV_PROGRAMS})
    foreach(size ${ZV_ICON_SIZES})
      set(dir ${CMAKE_BINARY_DIR}/icons/hicolor/${size}x${size}/apps)
      add_custom_command(
        OUTPUT ${dir}/${program}.png
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${ZV_RSVG_CONVERT} -w ${size} -h ${size} -o ${dir}/${program}.png
                ${ZV_DESKTOP_DIR}/icons/${program}.svg
        DEPENDS ${ZV_DESKTOP_DIR}/icons/${program}.svg
        VERBATIM)
      list(APPEND zv_icon_outputs ${dir}/${program}.png)
    endforeach()
  endforeach()
  add_custom_target(zv_program_icons ALL DEPENDS ${zv_icon_outputs})
  install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons FILES_MATCHING PATTERN "*.png")
else()
  message(WARNING "rsvg-convert (librsvg2-bin) not found: only the SVG icons are installed")
endif()

foreach(program ${ZV_PROGRAMS} zorvexa-analyze)
  configure_file(${ZV_DESKTOP_DIR}/man/${program}.1.in ${CMAKE_BINARY_DIR}/man/${program}.1 @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
