# BRIMBLE_SANITIZE builds every target with the sanitizers it names, e.g.
# "address,undefined" (the whole test suite runs so in build-asan/) or
# "thread" (the threaded parts, in build-tsan/). A target loaded into a
# program that is not ours (the seat module weston loads in the Wayland
# tests) sets the property BRIMBLE_NO_SANITIZE: an instrumented library
# cannot be loaded into an uninstrumented process.
if(BRIMBLE_SANITIZE STREQUAL "")
    return()
endif()
if(NOT BRIMBLE_SANITIZE MATCHES "^(address|undefined|thread)(,(address|undefined|thread))*$")
    message(FATAL_ERROR "BRIMBLE_SANITIZE: expected a list such as address,undefined or thread, not ${BRIMBLE_SANITIZE}")
endif()

set(sanitized "$<NOT:$<BOOL:$<TARGET_PROPERTY:BRIMBLE_NO_SANITIZE>>>")
set(sanitizer_flags -fsanitize=${BRIMBLE_SANITIZE} -fno-omit-frame-pointer)
add_compile_options("$<${sanitized}:${sanitizer_flags}>")
add_link_options("$<${sanitized}:${sanitizer_flags}>")
