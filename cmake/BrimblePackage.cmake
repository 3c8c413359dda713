# `cpack -G DEB` in the build folder makes a Debian package of what
# BrimbleInstall.cmake installs; scripts/package runs it in a build of its own.
# Its dependencies are read off the shared libraries the program links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brimble)
set(CPACK_PACKAGE_VENDOR "The Brimble developers")
set(CPACK_PACKAGE_CONTACT "The Brimble developers <maintainers@brimble.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "favourites organiser in the system tray")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Brimble keeps named, colour-tagged groups of files, folders and"
    "applications, web bookmarks, short text notes and colours in the system"
    "tray. A click on its icon, or a global keyboard shortcut, opens a popup"
    "with every group and its items; a manager window edits them.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Everything but the licence's text (BrimbleInstall.cmake).
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};Brimble;Unspecified;/")
# Read by cpack when it packages: the same tree makes the same package.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/BrimbleCPackProject.cmake)
set(CPACK_BRIMBLE_SOURCE_DIR ${PROJECT_SOURCE_DIR})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The tray icon under StatusNotifierItem desktops and the portal shortcut
# talk over the session bus; Qt draws its windows through a platform plugin,
# which no program links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's Wayland plugin: without it Brimble runs through XWayland in a
# Wayland session.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus-user-session | dbus-x11, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-desktop-portal, gnome-shell-extension-appindicator")

include(CPack)
