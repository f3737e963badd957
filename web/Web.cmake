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
    # exit(0) on Escape ends the program and calls the page's Module.onExit.
    -sEXIT_RUNTIME=1
    # Room for a large texture; the loader reports what still does not fit.
    -sALLOW_MEMORY_GROWTH=1
    -sENVIRONMENT=web
    --pre-js ${CMAKE_SOURCE_DIR}/web/page/fetch-texture.js)
set_property(TARGET marble APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/web/page/fetch-texture.js)

add_custom_command(TARGET marble POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
        ${CMAKE_SOURCE_DIR}/web/page/index.html $<TARGET_FILE_DIR:marble>/index.html)

# Tests: node runs them with the files of the machine (NODERAWFS), so they read the
# seed bitmaps and write their working folders as on the desktop.
set(CMAKE_CROSSCOMPILING_EMULATOR ${NODE_JS_EXECUTABLE} --no-experimental-fetch)
set(MARBLE_NODE_TEST_LINK_OPTIONS -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
    -sENVIRONMENT=node)
