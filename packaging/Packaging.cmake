# Installation and the Debian package.
#
# Layout under the prefix:
#   bin/marble                            launcher: runs the game inside share/marble
#   lib/marble/marble                     the game itself (private: not on PATH)
#   share/marble/surface.bmp              the track texture, read from the working directory
#   share/applications/marble.desktop     menu entry
#   share/icons/hicolor/NxN/apps/marble.png
# The launcher finds the other two relative to its own location, so the tree
# works wherever it is unpacked.

include(GNUInstallDirs)

set(MARBLE_INSTALL_EXEDIR "lib/marble" CACHE STRING "Where the game binary goes, under the prefix")
set(MARBLE_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/marble")
set(MARBLE_MAINTAINER "Marble Maintainers <maintainers@marble.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

install(TARGETS marble RUNTIME DESTINATION ${MARBLE_INSTALL_EXEDIR})
install(FILES ${CMAKE_SOURCE_DIR}/assets/surface.bmp DESTINATION ${MARBLE_INSTALL_DATADIR})

# The launcher, with the paths from bin/ to the data folder and to the game.
file(RELATIVE_PATH MARBLE_BIN_TO_DATA /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${MARBLE_INSTALL_DATADIR})
file(RELATIVE_PATH MARBLE_BIN_TO_EXE /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${MARBLE_INSTALL_EXEDIR}/marble)
configure_file(${CMAKE_SOURCE_DIR}/packaging/marble.in ${CMAKE_BINARY_DIR}/packaging/marble @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/marble DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_SOURCE_DIR}/packaging/marble.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# Icons, painted at build time by tools/MakeIcon.cpp in the sizes menus ask for.
set(MARBLE_ICON_SIZES 48 64 128 256)
set(MARBLE_ICONS)
foreach(size IN LISTS MARBLE_ICON_SIZES)
    set(icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/marble.png)
    add_custom_command(OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND marble-icon ${size} ${icon}
        DEPENDS marble-icon
        COMMENT "Painting the ${size}x${size} icon")
    list(APPEND MARBLE_ICONS ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(marble_icons ALL DEPENDS ${MARBLE_ICONS})

# The .deb: `make package`, or `cmake --build build --target package`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marble)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MARBLE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "A marble rolls down a winding, textured track: it gains speed
on every ramp and stops when it runs out of speed or hits one of the
coloured obstacles. Steer it with A and D, brake with B, and drag the
mouse to swing the camera; Escape quits.")
# dpkg-shlibdeps fills in the libraries the binary links (libglut3.12,
# libglu1-mesa, libgl1, the C and C++ runtimes). Mesa's drivers are loaded
# at run time and so are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")
include(CPack)

if(BUILD_TESTING)
    # Builds the .deb, unpacks it into a scratch root and starts its launcher.
    add_test(NAME package_installs
        COMMAND ${CMAKE_SOURCE_DIR}/tools/test-package.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(package_installs PROPERTIES TIMEOUT 180)
endif()
