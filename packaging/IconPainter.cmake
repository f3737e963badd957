# The icon painter, tools/MakeIcon.cpp, runs on the build machine. Where tools/
# is not built (a cross build), a copy of it is built for the build machine in
# host-tools/, by a configure of these same sources with the host's compiler:
# the same program with the same flags as in a native build, so every platform's
# package carries the same icon bytes. Sets MARBLE_ICON_PAINTER, the program, and
# MARBLE_ICON_PAINTER_DEPENDS, what a command that runs it depends on.
if(TARGET marble-icon)
    set(MARBLE_ICON_PAINTER $<TARGET_FILE:marble-icon>)
    set(MARBLE_ICON_PAINTER_DEPENDS marble-icon)
else()
    include(ExternalProject)
    set(MARBLE_HOST_TOOLS ${CMAKE_BINARY_DIR}/host-tools)
    set(MARBLE_ICON_PAINTER ${MARBLE_HOST_TOOLS}/build/tools/marble-icon)
    set(MARBLE_ICON_PAINTER_DEPENDS marble_host_icon_painter ${MARBLE_ICON_PAINTER})
    ExternalProject_Add(marble_host_icon_painter
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        PREFIX ${MARBLE_HOST_TOOLS}
        BINARY_DIR ${MARBLE_HOST_TOOLS}/build
        CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBLE_TOOLS=ON -DMARBLE_PACKAGE=OFF
            -DBUILD_TESTING=OFF
        BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target marble-icon
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS ${MARBLE_ICON_PAINTER}
        INSTALL_COMMAND "")
endif()
