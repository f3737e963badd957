# Debian's hardening flags, for every program of the build: the game the package
# ships, and the tests, so that the suite proves its pins on the code the package
# carries. The flags are those dpkg-buildflags gives with every hardening feature on
# (stack protector, fortified C library calls, format checks, read-only relocations
# bound at start-up), for the architecture built for, and the control-flow
# protection of that architecture (-fcf-protection on x86, branch protection on
# arm64). None of them touches floating point. dpkg-buildflags' -g, -O2 and
# file-prefix map are left out: the build type and the build's own map decide those.
#
# _FORTIFY_SOURCE needs optimisation, and the sanitizers check memory their own
# way, so an unoptimised (Debug) or sanitized build is not hardened. The flags are
# those of Debian's GNU/Linux systems: builds for other systems leave them out.

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR MARBLE_SANITIZE OR CMAKE_BUILD_TYPE STREQUAL "Debug")
    set(MARBLE_HARDEN_DEFAULT OFF)
else()
    set(MARBLE_HARDEN_DEFAULT ON)
endif()
option(MARBLE_HARDEN "Build with Debian's hardening flags (dpkg-buildflags)" ${MARBLE_HARDEN_DEFAULT})
if(NOT MARBLE_HARDEN)
    return()
endif()

find_program(MARBLE_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
set(marble_flags_env DEB_BUILD_MAINT_OPTIONS=hardening=+all)
if(CMAKE_CROSSCOMPILING AND CMAKE_LIBRARY_ARCHITECTURE)
    find_program(MARBLE_DPKG_ARCHITECTURE dpkg-architecture REQUIRED)
    execute_process(COMMAND ${MARBLE_DPKG_ARCHITECTURE} -t ${CMAKE_LIBRARY_ARCHITECTURE} -q DEB_HOST_ARCH
        OUTPUT_VARIABLE marble_host_arch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
        COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND marble_flags_env DEB_HOST_ARCH=${marble_host_arch})
endif()

# marble_buildflags(VAR NAME): the words of `dpkg-buildflags --get NAME` that harden.
function(marble_buildflags var name)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ${marble_flags_env}
            ${MARBLE_DPKG_BUILDFLAGS} --get ${name}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-g|^-O|^-ffile-prefix-map=|^-fdebug-prefix-map=")
    set(${var} ${flags} PARENT_SCOPE)
endfunction()

marble_buildflags(marble_cppflags CPPFLAGS)
marble_buildflags(marble_cxxflags CXXFLAGS)
marble_buildflags(marble_ldflags LDFLAGS)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86)$")
    list(APPEND marble_cxxflags -fcf-protection)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
    list(APPEND marble_cxxflags -mbranch-protection=standard)
endif()
list(REMOVE_DUPLICATES marble_cxxflags)

add_compile_options(${marble_cppflags} ${marble_cxxflags})
add_link_options(${marble_ldflags})
set(marble_all_flags ${marble_cppflags} ${marble_cxxflags} ${marble_ldflags})
list(JOIN marble_all_flags " " marble_all_flags)
message(STATUS "Hardened with: ${marble_all_flags}")
