# What a Windows player downloads, built by `make package-windows` in the
# Windows build folder:
#   marble-run-<version>-windows-x64.zip   marble.exe, surface.bmp, LICENSE.txt, README.txt
#   marble-run-<version>-setup.exe         the same files in an NSIS installer
# and the resources of marble.exe itself: the icon painted by tools/MakeIcon.cpp,
# the version and the application manifest.
#
# Both downloads are reproducible: the program carries no link time stamp (the
# toolchain file links with --no-insert-timestamp), the staged files and zip
# members are dated as every download is (packaging/source-date-epoch.sh) and the
# installer stores no file dates, so one commit gives the same bytes in any folder.

set(MARBLE_PACKAGE marble-run)
set(MARBLE_WINDOWS_DIR ${CMAKE_BINARY_DIR}/packaging/windows)

# The icon, in every size Windows shows, from the painter built for this machine.
include(${CMAKE_SOURCE_DIR}/packaging/IconPainter.cmake)
set(MARBLE_WINDOWS_ICO ${MARBLE_WINDOWS_DIR}/marble.ico)
add_custom_command(OUTPUT ${MARBLE_WINDOWS_ICO}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${MARBLE_WINDOWS_DIR}
    COMMAND ${MARBLE_ICON_PAINTER} --ico ${MARBLE_WINDOWS_ICO}
    DEPENDS ${MARBLE_ICON_PAINTER_DEPENDS}
    COMMENT "Painting the Windows icon")
add_custom_target(marble_windows_icon DEPENDS ${MARBLE_WINDOWS_ICO})
# The picture beside the installer's first and last pages, by the same painter.
set(MARBLE_WINDOWS_WIZARD ${MARBLE_WINDOWS_DIR}/wizard.bmp)
add_custom_command(OUTPUT ${MARBLE_WINDOWS_WIZARD}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${MARBLE_WINDOWS_DIR}
    COMMAND ${MARBLE_ICON_PAINTER} --wizard ${MARBLE_WINDOWS_WIZARD}
    DEPENDS ${MARBLE_ICON_PAINTER_DEPENDS}
    COMMENT "Painting the installer's picture")

# The resources, compiled by the toolchain's windres into the program.
enable_language(RC)
set(MARBLE_WINDOWS_MANIFEST ${MARBLE_WINDOWS_DIR}/marble.exe.manifest)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/marble.exe.manifest.in
    ${MARBLE_WINDOWS_MANIFEST} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/marble.rc.in
    ${MARBLE_WINDOWS_DIR}/marble.rc @ONLY)
target_sources(marble PRIVATE ${MARBLE_WINDOWS_DIR}/marble.rc)
set_source_files_properties(${MARBLE_WINDOWS_DIR}/marble.rc PROPERTIES
    OBJECT_DEPENDS "${MARBLE_WINDOWS_ICO};${MARBLE_WINDOWS_MANIFEST}")
add_dependencies(marble marble_windows_icon)

# The files a player gets, staged in one folder: the program without its
# debugging information, the texture, and the licence and a short guide with
# Windows line ends, which every Windows editor shows as lines. strip writes a
# time stamp into the program's header, the time of SOURCE_DATE_EPOCH when set:
# zero, as the link left it.
set(MARBLE_WINDOWS_FILES ${MARBLE_WINDOWS_DIR}/files)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${MARBLE_WINDOWS_FILES}/LICENSE.txt
    @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/README.txt.in
    ${MARBLE_WINDOWS_FILES}/README.txt @ONLY NEWLINE_STYLE CRLF)
add_custom_command(OUTPUT ${MARBLE_WINDOWS_FILES}/marble.exe ${MARBLE_WINDOWS_FILES}/surface.bmp
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
        ${CMAKE_STRIP} --strip-all -o ${MARBLE_WINDOWS_FILES}/marble.exe $<TARGET_FILE:marble>
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/assets/surface.bmp
        ${MARBLE_WINDOWS_FILES}/surface.bmp
    DEPENDS marble ${CMAKE_SOURCE_DIR}/assets/surface.bmp
    COMMENT "Staging the files of the Windows downloads")

# The zip and the installer, by one script: it dates the files and packs them.
find_program(MARBLE_ZIP zip REQUIRED)
find_program(MARBLE_MAKENSIS makensis REQUIRED)
set(MARBLE_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/${MARBLE_PACKAGE}-${PROJECT_VERSION}-windows-x64.zip)
set(MARBLE_WINDOWS_SETUP ${CMAKE_BINARY_DIR}/${MARBLE_PACKAGE}-${PROJECT_VERSION}-setup.exe)
add_custom_command(OUTPUT ${MARBLE_WINDOWS_ZIP} ${MARBLE_WINDOWS_SETUP}
    COMMAND ${CMAKE_COMMAND} -E env MAKENSIS=${MARBLE_MAKENSIS}
        ${CMAKE_SOURCE_DIR}/packaging/windows/pack.sh ${CMAKE_SOURCE_DIR} ${MARBLE_WINDOWS_FILES}
        ${MARBLE_WINDOWS_ICO} ${MARBLE_WINDOWS_WIZARD} ${PROJECT_VERSION} ${MARBLE_WINDOWS_ZIP}
        ${MARBLE_WINDOWS_SETUP}
    DEPENDS ${MARBLE_WINDOWS_FILES}/marble.exe ${MARBLE_WINDOWS_FILES}/surface.bmp
        ${MARBLE_WINDOWS_FILES}/LICENSE.txt ${MARBLE_WINDOWS_FILES}/README.txt
        ${MARBLE_WINDOWS_ICO} ${MARBLE_WINDOWS_WIZARD} ${CMAKE_SOURCE_DIR}/packaging/windows/installer.nsi
        ${CMAKE_SOURCE_DIR}/packaging/windows/pack.sh
        ${CMAKE_SOURCE_DIR}/packaging/source-date-epoch.sh
    COMMENT "Packing ${MARBLE_PACKAGE}-${PROJECT_VERSION}-windows-x64.zip and the installer")
add_custom_target(package_windows DEPENDS ${MARBLE_WINDOWS_ZIP} ${MARBLE_WINDOWS_SETUP})

if(BUILD_TESTING)
    # Installs the installer silently under Wine, checks what it put where,
    # starts the installed game on the X display and uninstalls it again.
    add_test(NAME windows_installer
        COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/test-windows-installer.sh ${CMAKE_BINARY_DIR})
    # Its game window opens at (0, 0) like the other game windows: one at a time.
    set_tests_properties(windows_installer PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
endif()
