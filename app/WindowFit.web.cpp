#include "app/WindowFit.h"

#include <emscripten.h>

namespace {

// The canvas's drawing buffer as the page has sized it (web/page/controls.js).
EM_JS(int, canvasWidth, (), { return Module.canvas.width; });
EM_JS(int, canvasHeight, (), { return Module.canvas.height; });

} // namespace

// In the browser the window is the canvas, which fills the page: the game opens it at the
// size the page has already given it, so its GL context is made once at that size and
// not made again as the page fits it.
WindowSize fitToScreen(WindowSize)
{
    return {canvasWidth(), canvasHeight()};
}
