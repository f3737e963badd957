#pragma once

// Asks the driver to hold each buffer swap of the current window until the display's
// next refresh (a swap interval of 1), through the first of GLX_EXT_swap_control,
// GLX_MESA_swap_control and GLX_SGI_swap_control that it offers. A driver that offers
// none keeps its own default. Frames then come at the display's rate, and with them
// the idle calls that each advance the game by one tick.
void requestSwapInterval();
