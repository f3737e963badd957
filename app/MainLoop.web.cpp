#include "app/MainLoop.h"

#include <GL/freeglut.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include "app/InputGate.h"

namespace {

void (*tick)() = nullptr;
void (*draw)() = nullptr;

// One tick and one picture per animation frame, as a swap interval of 1 gives on the
// desktop. While a message box is open the game waits, as the desktop's does.
void frame()
{
    if (InputGate::held())
        return;
    tick();
    draw();
}

} // namespace

// The browser's animation frame paces the loop, not GLUT: its idle calls come from a
// 4 ms timer, several per frame, and its redisplay requests draw a second time.
void runMainLoop(void (*idle)(), void (*display)())
{
    tick = idle;
    draw = display;
    glutDisplayFunc(nullptr);
    int width = 0, height = 0;
    emscripten_get_canvas_element_size("#canvas", &width, &height);
    glutReshapeWindow(width, height);
    emscripten_set_main_loop(frame, 0, 1);
}
