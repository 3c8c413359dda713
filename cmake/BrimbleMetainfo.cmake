# Writes the AppStream metadata: resources/desktop/org.brimble.Brimble.metainfo.xml
# with the version filled in and, when BRIMBLE_SCREENSHOT_BASE_URL is set,
# the screenshots of resources/desktop/screenshots.xml under that address.
# Software centres take screenshots from the web only, so the PNGs of
# resources/screenshots/ are listed once they are published somewhere.
#
# Included by the build, or run on its own:
#   cmake -DPROJECT_VERSION=1.0.0 -DBRIMBLE_METAINFO_OUTPUT=<file>
#         [-DBRIMBLE_SCREENSHOT_BASE_URL=https://...] -P cmake/BrimbleMetainfo.cmake
if(CMAKE_SCRIPT_MODE_FILE)
    get_filename_component(BRIMBLE_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/../resources ABSOLUTE)
else()
    set(BRIMBLE_RESOURCES ${PROJECT_SOURCE_DIR}/resources)
    set(BRIMBLE_SCREENSHOT_BASE_URL "" CACHE STRING
        "https address where the PNGs of resources/screenshots/ are published; empty lists no screenshots")
    set(BRIMBLE_METAINFO_OUTPUT ${PROJECT_BINARY_DIR}/org.brimble.Brimble.metainfo.xml)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${BRIMBLE_RESOURCES}/desktop/screenshots.xml)
endif()

set(BRIMBLE_SCREENSHOTS "")
if(BRIMBLE_SCREENSHOT_BASE_URL)
    if(NOT BRIMBLE_SCREENSHOT_BASE_URL MATCHES "^https://[^/]")
        message(FATAL_ERROR "BRIMBLE_SCREENSHOT_BASE_URL must be an https address: ${BRIMBLE_SCREENSHOT_BASE_URL}")
    endif()
    string(REGEX REPLACE "/+$" "" BRIMBLE_SCREENSHOT_BASE_URL "${BRIMBLE_SCREENSHOT_BASE_URL}")
    file(READ ${BRIMBLE_RESOURCES}/desktop/screenshots.xml screenshots)
    string(CONFIGURE "${screenshots}" BRIMBLE_SCREENSHOTS @ONLY)
    string(REGEX REPLACE "\n$" "" BRIMBLE_SCREENSHOTS "${BRIMBLE_SCREENSHOTS}")
endif()
configure_file(${BRIMBLE_RESOURCES}/desktop/org.brimble.Brimble.metainfo.xml ${BRIMBLE_METAINFO_OUTPUT} @ONLY)
