# What `cmake --install` puts in place: the program, its login helper, its
# network module, the desktop entry, the desktop search's and the file
# managers' files, the icons, the AppStream metadata, the manual pages and
# the changelog. The keyed-text tables are compiled into
# the program and need no file of their own.
include(GNUInstallDirs)

# Folders made by the installation get the same mode whatever the umask of
# the one who installs (or packages).
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS brimble DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS brimble-login-helper DESTINATION ${BRIMBLE_HELPER_DIR})
# Loaded by brimble at its first network request (ModuleHttpClient), found
# relative to the program's folder.
install(TARGETS brimble-http LIBRARY DESTINATION ${BRIMBLE_MODULE_INSTALL_DIR})
# A stripped installation (the package) also loses the compiler's version
# notes, as Debian strips its own packages.
foreach(installed ${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:brimble>
                  ${BRIMBLE_HELPER_DIR}/$<TARGET_FILE_NAME:brimble-login-helper>
                  ${BRIMBLE_MODULE_INSTALL_DIR}/$<TARGET_FILE_NAME:brimble-http>)
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${installed}\"
                            COMMAND_ERROR_IS_FATAL ANY)
        endif()")
endforeach()

set(BRIMBLE_DESKTOP_FOLDER ${PROJECT_SOURCE_DIR}/resources/desktop)
install(FILES ${BRIMBLE_DESKTOP_FOLDER}/org.brimble.Brimble.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The desktop's search: GNOME Shell's search provider, KRunner's runner,
# and the D-Bus service that starts Brimble for them when it is not running.
# The service names the program by its full path, which is the prefix's of
# the installation (the package's is /usr), so it is written as installed.
install(FILES ${BRIMBLE_DESKTOP_FOLDER}/search/org.brimble.Brimble.search-provider.ini
        DESTINATION ${CMAKE_INSTALL_DATADIR}/gnome-shell/search-providers)
configure_file(${BRIMBLE_DESKTOP_FOLDER}/search/org.brimble.Brimble.krunner.desktop
               ${PROJECT_BINARY_DIR}/krunner/org.brimble.Brimble.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/krunner/org.brimble.Brimble.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/krunner/dbusplugins)
set(BRIMBLE_DBUS_SERVICE_TEMPLATE ${BRIMBLE_DESKTOP_FOLDER}/search/org.brimble.Brimble.SearchProvider.service.in)
set(BRIMBLE_DBUS_SERVICE_STAGED ${PROJECT_BINARY_DIR}/dbus-service/org.brimble.Brimble.SearchProvider.service)
install(CODE "
    set(BRIMBLE_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/brimble\")
    configure_file(\"${BRIMBLE_DBUS_SERVICE_TEMPLATE}\" \"${BRIMBLE_DBUS_SERVICE_STAGED}\" @ONLY)
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/dbus-1/services\" TYPE FILE
         FILES \"${BRIMBLE_DBUS_SERVICE_STAGED}\")")

# "Add to Brimble" in the file managers' menus: Dolphin's service menu and
# Nemo's action (Nautilus and Thunar take theirs per user: see the README).
install(FILES ${BRIMBLE_DESKTOP_FOLDER}/file-managers/org.brimble.Brimble.add.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus)
install(FILES ${BRIMBLE_DESKTOP_FOLDER}/file-managers/org.brimble.Brimble.add.nemo_action
        DESTINATION ${CMAKE_INSTALL_DATADIR}/nemo/actions)

include(cmake/BrimbleMetainfo.cmake)
install(FILES ${PROJECT_BINARY_DIR}/org.brimble.Brimble.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Drawn in the build folder where an installation has them (src/app).
install(DIRECTORY ${PROJECT_BINARY_DIR}/${CMAKE_INSTALL_DATADIR}/icons/hicolor/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# Manual pages and the changelog go in compressed as Debian wants them: at
# the strongest level, without the file's name and time in the header.
function(brimble_install_gzipped file destination)
    get_filename_component(name ${file} NAME)
    set(gzipped ${PROJECT_BINARY_DIR}/gzipped/${destination}/${name}.gz)
    add_custom_command(
        OUTPUT ${gzipped}
        COMMAND sh -c [[mkdir -p "$(dirname "$2")" && gzip -9n <"$1" >"$2"]] gzip ${file} ${gzipped}
        DEPENDS ${file}
        VERBATIM)
    set_property(GLOBAL APPEND PROPERTY BRIMBLE_GZIPPED_FILES ${gzipped})
    install(FILES ${gzipped} DESTINATION ${destination})
endfunction()

# The manual page in each language (resources/man/<language>/), the
# version filled in.
file(GLOB_RECURSE BRIMBLE_MANUAL_PAGES RELATIVE ${PROJECT_SOURCE_DIR}/resources/man
     CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/man/*.1)
foreach(page ${BRIMBLE_MANUAL_PAGES})
    configure_file(resources/man/${page} man/${page} @ONLY)
    get_filename_component(language_folder ${page} DIRECTORY)
    if(language_folder)
        string(APPEND language_folder /)
    endif()
    brimble_install_gzipped(${PROJECT_BINARY_DIR}/man/${page} ${CMAKE_INSTALL_MANDIR}/${language_folder}man1)
endforeach()

# Named for the package, as Debian expects (DOCDIR would say "Brimble").
set(BRIMBLE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/brimble)
brimble_install_gzipped(${PROJECT_SOURCE_DIR}/resources/debian/changelog ${BRIMBLE_DOC_DIR})
install(FILES resources/debian/copyright DESTINATION ${BRIMBLE_DOC_DIR})
# Debian has the licence in /usr/share/common-licenses, which the copyright
# file names: the package leaves this component out.
install(FILES LICENSE DESTINATION ${BRIMBLE_DOC_DIR} COMPONENT license)
install(FILES resources/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME brimble)

get_property(gzipped GLOBAL PROPERTY BRIMBLE_GZIPPED_FILES)
add_custom_target(brimble_gzipped ALL DEPENDS ${gzipped})
