#include "app/SwapInterval.h"

// Nothing to ask: the browser shows a frame at each refresh of the display, and the
// main loop runs once per shown frame (app/MainLoop.web.cpp).
void requestSwapInterval()
{
}
