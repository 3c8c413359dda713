# brimble_add_library(<folder> SOURCES ... [PUBLIC ...] [PRIVATE ...])
# Builds src/<folder> as the static library brimble_<folder>. The headers of
# every folder are reached as "<folder>/Header.h" from the src/ root.
# PUBLIC names the libraries the folder's own headers include (its users
# need them too), PRIVATE those only its sources use. Which folder may use
# which is kept by the layers test (scripts/check-layers).
function(brimble_add_library folder)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    if(ARG_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "brimble_add_library(${folder}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
    endif()
    set(target brimble_${folder})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
endfunction()

# brimble_add_test(<name> SOURCES ... DEPENDS ... [XVFB])
# One GoogleTest program per test folder. Every test gets private XDG folders
# and the offscreen platform from tests/support/TestMain.cpp.
function(brimble_add_test name)
    cmake_parse_arguments(ARG "XVFB" "" "SOURCES;DEPENDS" ${ARGN})
    set(target test_${name})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE brimble_test_support ${ARG_DEPENDS}
                          GTest::gtest GTest::gmock)
    if(ARG_XVFB)
        add_test(NAME ${name}
                 COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-xvfb $<TARGET_FILE:${target}>)
    else()
        add_test(NAME ${name} COMMAND ${target})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
