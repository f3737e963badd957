#pragma once

// A modal message box: the caption as its title, the text and an OK button. Closing it
// never ends the program. On Windows it is the system's own box, owned by the window
// that has the keyboard focus.
//
// On X11 it is made of a GLUT window. A click on OK, Enter, Escape or the window
// manager's close button dismiss it. It is shown at start-up, while the program's window
// has no callbacks yet. That window is held while the box is open: never drawn to, its
// input ignored, and the size it is given kept for the callbacks registered later. It is
// the current window again when show returns.
class MessageDialog {
public:
    // Returns once the box has been dismissed and is gone.
    static void show(const char* caption, const char* text);
};
