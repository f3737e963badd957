# The browser build (emscripten): the game as marble.js and marble.wasm beside the
# page index.html and the texture surface.bmp, which the page fetches before the game
# starts; the display-free tests run under node.

# What the browser's GLUT, GLU and OpenGL emulation lack, linked into the game only:
# the tests link the recording double, which has its own.
marble_sources(WEB_SOURCES ${CMAKE_SOURCE_DIR}/web/*.cpp)
target_sources(marble PRIVATE ${WEB_SOURCES})

target_link_options(marble PRIVATE
    # OpenGL 1.1 on WebGL: matrices, lighting, client arrays, glBegin/glEnd.
    -sLEGACY_GL_EMULATION=1
    # Room for a large texture; the loader reports what still does not fit.
    -sALLOW_MEMORY_GROWTH=1
    -sENVIRONMENT=web
    # glBegin and glEnd reach the emulation through web/GlCompat.web.cpp, which draws
    # a strip of glArrayElement calls in one call.
    "LINKER:--wrap=glBegin,--wrap=glEnd"
    # (SHELL: keeps CMake from folding the second --pre-js into the first)
    "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/web/page/pre.js"
    "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/web/page/controls.js")
set_property(TARGET marble APPEND PROPERTY LINK_DEPENDS
    ${CMAKE_SOURCE_DIR}/web/page/pre.js ${CMAKE_SOURCE_DIR}/web/page/controls.js)

# The page's static files beside the game, and the painted icon at the sizes an
# installed web app and the browser's tab ask for.
foreach(file index.html sw.js manifest.webmanifest)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${file}
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/web/page/${file} ${CMAKE_BINARY_DIR}/${file}
        DEPENDS ${CMAKE_SOURCE_DIR}/web/page/${file})
    list(APPEND WEB_PAGE ${CMAKE_BINARY_DIR}/${file})
endforeach()
include(${CMAKE_SOURCE_DIR}/packaging/IconPainter.cmake)
foreach(size 192 512)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/icon-${size}.png
        COMMAND ${MARBLE_ICON_PAINTER} ${size} ${CMAKE_BINARY_DIR}/icon-${size}.png
        DEPENDS ${MARBLE_ICON_PAINTER_DEPENDS}
        COMMENT "Painting the page's ${size} px icon")
    list(APPEND WEB_PAGE ${CMAKE_BINARY_DIR}/icon-${size}.png)
endforeach()
add_custom_target(web_page ALL DEPENDS ${WEB_PAGE})
add_dependencies(marble web_page)

# Tests: node runs them on emscripten's own file system, in memory, with the seed
# bitmaps' folder of this machine mounted at the same path. (Node's raw file access,
# NODERAWFS, would need no mount, but there the standard error cannot be redirected
# to a file, which the loader's tests capture.)
# Node's own fetch cannot load the .wasm from a file: the runtime's file reading does.
find_program(MARBLE_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${MARBLE_NODE} --no-experimental-fetch)
set(MARBLE_NODE_MOUNTS ${CMAKE_SOURCE_DIR}/tests/image/seeds)
configure_file(${CMAKE_SOURCE_DIR}/web/node-mounts.js.in ${CMAKE_BINARY_DIR}/node-mounts.js @ONLY)
set(MARBLE_NODE_TEST_LINK_OPTIONS -lnodefs.js --pre-js ${CMAKE_BINARY_DIR}/node-mounts.js
    -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=node)
