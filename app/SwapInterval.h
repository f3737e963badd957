#pragma once

// Asks the driver to hold each buffer swap of the current window until the display's
// next refresh (a swap interval of 1). A driver that offers no way to ask keeps its
// own default. Frames then come at the display's rate; the game's pace is the clock's
// whatever that rate (app/FramePacer.h).
void requestSwapInterval();

// Whether the space-separated extension list names the extension itself, not merely a
// longer name that begins with it (GLX_EXT_swap_control_tear). No list offers nothing.
bool offersExtension(const char* extensions, const char* name);
