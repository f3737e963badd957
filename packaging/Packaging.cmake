# Installation and the Debian package, marble-run.
#
# Layout under the prefix, after Debian's games policy (programs in games/,
# architecture-dependent files in lib/games/<package>, the rest in
# share/games/<package>):
#   games/marble-run                        launcher: runs the game inside share/games/marble-run
#   lib/games/marble-run/marble             the game itself (private: not on PATH)
#   share/games/marble-run/surface.bmp      the track texture, read from the working directory
#   share/applications/<id>.desktop         menu entry
#   share/metainfo/<id>.metainfo.xml        software-centre metadata
#   share/icons/hicolor/NxN/apps/<id>.png
#   share/man/man6/marble-run.6.gz
#   share/doc/marble-run/copyright, changelog.gz
# <id> is the reverse-DNS application id, io.github.marble_authors.marble_run.
# No path is shared with Debian's KDE globe, also called marble. The launcher
# finds the game and its texture relative to its own location, so the tree
# works wherever it is unpacked.

include(GNUInstallDirs)

set(MARBLE_PACKAGE marble-run)
set(MARBLE_APP_ID io.github.marble_authors.marble_run)
set(MARBLE_INSTALL_BINDIR "games" CACHE STRING "Where the marble-run command goes, under the prefix")
set(MARBLE_INSTALL_EXEDIR "lib/games/${MARBLE_PACKAGE}" CACHE STRING
    "Where the game binary goes, under the prefix")
set(MARBLE_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/games/${MARBLE_PACKAGE}")
set(MARBLE_INSTALL_DOCDIR "${CMAKE_INSTALL_DATADIR}/doc/${MARBLE_PACKAGE}")
set(MARBLE_MAINTAINER "Marble Maintainers <maintainers@marble.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(MARBLE_HOMEPAGE "https://github.com/marble-authors/marble-run")

# Directories the install creates are 0755 whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS marble RUNTIME DESTINATION ${MARBLE_INSTALL_EXEDIR})
# The installed game carries no .comment section: the compilers' version strings,
# gathered from every object and from the C runtime's start files, which nothing
# reads (lintian counts it as an unneeded section). Taken out of the installed
# copy, after the package's strip.
install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${MARBLE_INSTALL_EXEDIR}/marble\" COMMAND_ERROR_IS_FATAL ANY)")
install(FILES ${CMAKE_SOURCE_DIR}/assets/surface.bmp DESTINATION ${MARBLE_INSTALL_DATADIR})

# The launcher, with the paths from its folder to the data folder and to the game.
file(RELATIVE_PATH MARBLE_BIN_TO_DATA /prefix/${MARBLE_INSTALL_BINDIR} /prefix/${MARBLE_INSTALL_DATADIR})
file(RELATIVE_PATH MARBLE_BIN_TO_EXE /prefix/${MARBLE_INSTALL_BINDIR} /prefix/${MARBLE_INSTALL_EXEDIR}/marble)
configure_file(${CMAKE_SOURCE_DIR}/packaging/marble-run.in ${CMAKE_BINARY_DIR}/packaging/marble-run @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/marble-run DESTINATION ${MARBLE_INSTALL_BINDIR})

install(FILES ${CMAKE_SOURCE_DIR}/packaging/${MARBLE_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${MARBLE_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page and the changelog go in compressed with gzip -9n: no name and
# no time stamp inside, so the same sources give the same bytes.
find_program(MARBLE_GZIP gzip REQUIRED)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
set(MARBLE_MANPAGE_GZ ${CMAKE_BINARY_DIR}/packaging/marble-run.6.gz)
set(MARBLE_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/doc/changelog.gz)
add_custom_command(OUTPUT ${MARBLE_MANPAGE_GZ}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/marble-run.6
        ${CMAKE_BINARY_DIR}/packaging/marble-run.6
    COMMAND ${MARBLE_GZIP} -9nf ${CMAKE_BINARY_DIR}/packaging/marble-run.6
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/marble-run.6
    COMMENT "Compressing the manual page")
add_custom_command(OUTPUT ${MARBLE_CHANGELOG_GZ}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/doc
    COMMAND ${MARBLE_GZIP} -9nc ${CMAKE_BINARY_DIR}/packaging/changelog > ${MARBLE_CHANGELOG_GZ}
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
    COMMENT "Compressing the changelog")
add_custom_target(marble_docs ALL DEPENDS ${MARBLE_MANPAGE_GZ} ${MARBLE_CHANGELOG_GZ})
install(FILES ${MARBLE_MANPAGE_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${MARBLE_CHANGELOG_GZ} ${CMAKE_SOURCE_DIR}/packaging/copyright
    DESTINATION ${MARBLE_INSTALL_DOCDIR})

# Icons, painted at build time by tools/MakeIcon.cpp in the sizes menus ask for.
include(${CMAKE_SOURCE_DIR}/packaging/IconPainter.cmake)
set(MARBLE_ICON_SIZES 48 64 128 256)
set(MARBLE_ICONS)
foreach(size IN LISTS MARBLE_ICON_SIZES)
    set(icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${MARBLE_APP_ID}.png)
    add_custom_command(OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${MARBLE_ICON_PAINTER} ${size} ${icon}
        DEPENDS ${MARBLE_ICON_PAINTER_DEPENDS}
        COMMENT "Painting the ${size}x${size} icon")
    list(APPEND MARBLE_ICONS ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(marble_icons ALL DEPENDS ${MARBLE_ICONS})

# The .deb: `make package`, or `cmake --build build --target package`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${MARBLE_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MARBLE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${MARBLE_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis: no leading article, no full stop, under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small interactive 3-D marble run")
set(CPACK_PACKAGE_DESCRIPTION "A purple marble rolls down a winding, textured track: it gains speed
on every ramp, loses a little to friction, and stops dead when it
touches one of the three obstacles. Steer it with the a and d keys,
brake with b, and drag the mouse to swing the camera; Escape quits.
Every run fades in, rolls, fades out and starts again by itself.")
# dpkg-shlibdeps fills in the libraries the binary links (libglut3.12,
# libglu1-mesa, libgl1, the C and C++ runtimes). Mesa's drivers are loaded
# at run time and so are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")
# A cross build packs for the architecture it builds for (arm64 for
# aarch64-linux-gnu), not the build machine's, and dpkg-shlibdeps then reads
# that architecture's libraries (packaging/CPackProject.cmake.in).
if(CMAKE_CROSSCOMPILING)
    find_program(MARBLE_DPKG_ARCHITECTURE dpkg-architecture REQUIRED)
    execute_process(COMMAND ${MARBLE_DPKG_ARCHITECTURE} -t ${CMAKE_LIBRARY_ARCHITECTURE} -q DEB_HOST_ARCH
        OUTPUT_VARIABLE MARBLE_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
        COMMAND_ERROR_IS_FATAL ANY)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${MARBLE_DEB_ARCH})
endif()
# Same commit, same bytes: cpack dates every file and archive member by
# SOURCE_DATE_EPOCH, which packaging/CPackProject.cmake.in takes from
# packaging/source-date-epoch.sh. Everything else in the package is already the
# same from one build to the next.
configure_file(${CMAKE_SOURCE_DIR}/packaging/CPackProject.cmake.in
    ${CMAKE_BINARY_DIR}/packaging/CPackProject.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/packaging/CPackProject.cmake)
include(CPack)

if(BUILD_TESTING)
    # Builds the .deb, checks it the way Debian does where the tools are
    # installed, unpacks it into a scratch root and starts its launcher.
    add_test(NAME package_installs
        COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/test-package.sh ${CMAKE_BINARY_DIR}
            $<$<BOOL:${MARBLE_HARDEN}>:--hardened>)
    # Its game window opens at (0, 0) like the display tests' windows: one at a time.
    # A cross build's game is started under emulation, which takes longer.
    if(CMAKE_CROSSCOMPILING)
        set_tests_properties(package_installs PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
    else()
        set_tests_properties(package_installs PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
        add_test(NAME manpage_renders
            COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/check-manpage.sh ${CMAKE_SOURCE_DIR}/packaging/marble-run.6)
        set_tests_properties(manpage_renders PROPERTIES SKIP_RETURN_CODE 77)
    endif()
endif()
