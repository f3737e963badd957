#pragma once

// A window's inner size in pixels, without the frame the window manager puts around it.
struct WindowSize {
    int width = 0;
    int height = 0;
};

// The game's own size where the room holds it, else the largest size of the same
// aspect that the room holds, rounded down. A room of nothing leaves the size as it is.
WindowSize fitInside(WindowSize wanted, WindowSize room);

// The size to open the game's window at, in the top-left corner of the screen: the
// wanted size where the work area the desktop leaves to windows (the screen less its
// panels and task bar) holds it with the window's frame, else the largest of its
// aspect that does. Called between glutInit and the creation of the window.
WindowSize fitToScreen(WindowSize wanted);
