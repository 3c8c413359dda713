# Read by cpack before it packages. Every file of the package gets the time
# of the last commit (SOURCE_DATE_EPOCH, unless already set), so that the
# same tree makes the same package, byte for byte, whenever it is built.
# Outside a git checkout the time is the changelog's latest entry's.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    return()
endif()
execute_process(
    COMMAND git -c safe.directory=${CPACK_BRIMBLE_SOURCE_DIR} -C ${CPACK_BRIMBLE_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE status ERROR_QUIET)
if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    execute_process(
        COMMAND dpkg-parsechangelog -l ${CPACK_BRIMBLE_SOURCE_DIR}/resources/debian/changelog -S Timestamp
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
endif()
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
