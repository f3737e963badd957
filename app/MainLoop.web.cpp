#include "app/MainLoop.h"

#include <GL/freeglut.h>
#include <emscripten.h>

#include <chrono>
#include <cmath>

#include "app/FramePacer.h"
#include "app/InputGate.h"

namespace {

void (*tick)() = nullptr;
void (*draw)() = nullptr;
FramePacer pacer;

// The page's size for the canvas, and the game's reshape callback called with it
// (web/page/controls.js).
EM_JS(void, fitCanvasToPage, (), { Module.fitCanvas(); });

// The ticks the clock has made due, then one picture, per animation frame; a frame
// with no tick due leaves the last picture on the canvas. While a message box is open
// the game waits, as the desktop's does, and the time it waits is not made up after.
void frame()
{
    const double ms = emscripten_get_now();
    const int ticks = pacer.ticksFor(std::chrono::nanoseconds(std::llround(ms * 1e6)));
    if (ticks == 0 || InputGate::held())
        return;
    for (int i = 0; i < ticks; ++i)
        tick();
    draw();
}

} // namespace

// The browser's animation frame paces the loop, not GLUT: its idle calls come from a
// 4 ms timer, several per frame, and its redisplay requests draw a second time. The
// page has sized the canvas to the window (web/page/controls.js) and reshapes it as
// the window changes.
void runMainLoop(void (*idle)(), void (*display)())
{
    tick = idle;
    draw = display;
    glutDisplayFunc(nullptr);
    InputGate::install();
    fitCanvasToPage();
    emscripten_set_main_loop(frame, 0, 1);
}
