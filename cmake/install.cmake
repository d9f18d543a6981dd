# What `cmake --install` puts where, and the Debian package CPack makes of it.

install(TARGETS vorante-cli vorante-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md docs/simulator.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(VORANTE_UI)
  install(TARGETS vorante RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The menu entry starts the program in a directory of its own (--home).
  configure_file(resources/desktop_entry.desktop.in ${CMAKE_BINARY_DIR}/${VORANTE_APP_ID}.desktop @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/${VORANTE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(DIRECTORY ${VORANTE_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
endif()

# Everything the install takes, for building no more than a package needs.
add_custom_target(vorante_package_contents)
add_dependencies(vorante_package_contents vorante-cli vorante-sim)
if(VORANTE_UI)
  add_dependencies(vorante_package_contents vorante vorante_desktop_icon)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorante)
set(CPACK_PACKAGE_VENDOR "VORANTE control surface developers")
set(CPACK_PACKAGE_CONTACT "${VORANTE_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control surface for the VORANTE9M digital mixing console")
# Lines of the long description stay within 80 columns, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION "Draws the console's touch screen in a window and keeps all of its
parameters in step with the console over UDP, a serial port or TCP, so
the console can be mixed from a computer. With vorante-cli, a command-line
client for scripts, and vorante-sim, a console simulator on loopback.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link (Qt 6, libserialport, ...) become the dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
