# What `cmake --install` puts in place: the program, its login helper, its
# network module, the desktop entry, the icons and the AppStream metadata.
# The keyed-text tables are compiled into the program and need no file of
# their own.
include(GNUInstallDirs)

install(TARGETS brimble DESTINATION ${CMAKE_INSTALL_BINDIR})
# Where XdgLoginItems::locateHelper looks from bin/, whatever LIBEXECDIR says.
install(TARGETS brimble-login-helper DESTINATION libexec)
# Loaded by brimble at its first network request (ModuleHttpClient), found
# relative to the program's folder.
install(TARGETS brimble-http LIBRARY DESTINATION ${BRIMBLE_MODULE_INSTALL_DIR})

set(BRIMBLE_DESKTOP_FOLDER ${PROJECT_SOURCE_DIR}/resources/desktop)
install(FILES ${BRIMBLE_DESKTOP_FOLDER}/org.brimble.Brimble.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${BRIMBLE_DESKTOP_FOLDER}/org.brimble.Brimble.metainfo.xml
               ${PROJECT_BINARY_DIR}/org.brimble.Brimble.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/org.brimble.Brimble.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PROJECT_BINARY_DIR}/icons/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
# Named for the package, as Debian expects (DOCDIR would say "Brimble").
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${BRIMBLE_DESKTOP_FOLDER}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brimble)
