#include "app/WindowFit.h"

// In the browser the page sizes the canvas, and the page scales it to the view.
WindowSize fitToScreen(WindowSize wanted)
{
    return wanted;
}
