# The hardening flags Debian builds its packages with, as dpkg-buildflags
# gives them: fortified functions, the stack protector, format checks, and
# relocations made read-only and bound at start. Its -ffile-prefix-map,
# here for the source folder, keeps that folder's path out of the programs.
# The optimisation and debug levels stay the build type's. Off where there
# is no dpkg-buildflags. Sanitizer builds go without fortified functions,
# whose checked copies the sanitizers' interceptors would not see.
option(BRIMBLE_DISTRIBUTION_FLAGS "Build with the distribution's hardening flags (dpkg-buildflags)" ON)
find_program(BRIMBLE_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT BRIMBLE_DISTRIBUTION_FLAGS OR NOT BRIMBLE_DPKG_BUILDFLAGS)
    return()
endif()

# The flags dpkg-buildflags gives for variable, as a list, without -g and -O.
function(brimble_dpkg_buildflags variable result)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${BRIMBLE_DPKG_BUILDFLAGS} --get ${variable}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g|O).*$")
    set(${result} ${flags} PARENT_SCOPE)
endfunction()

brimble_dpkg_buildflags(CPPFLAGS preprocessor_flags)
if(NOT BRIMBLE_SANITIZE STREQUAL "")
    list(FILTER preprocessor_flags EXCLUDE REGEX "^-D_FORTIFY_SOURCE")
endif()
brimble_dpkg_buildflags(CXXFLAGS compiler_flags)
brimble_dpkg_buildflags(LDFLAGS linker_flags)
# Fortified functions need the optimiser; a Debug build would warn in every file.
add_compile_options("$<$<NOT:$<CONFIG:Debug>>:${preprocessor_flags}>" ${compiler_flags})
add_link_options(${linker_flags})
message(STATUS "Hardening flags from dpkg-buildflags: ${preprocessor_flags} ${compiler_flags} ${linker_flags}")
