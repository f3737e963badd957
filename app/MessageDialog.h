#pragma once

// A modal message box made of a GLUT window: the caption as its title, the text and an
// OK button. A click on OK, Enter, Escape or the window manager's close button dismiss
// it, and so does another program destroying it; closing it never ends the program. It
// takes the keyboard when it appears and gives it back to the program's window when it
// goes.
//
// It is shown at start-up, while the program's window has no callbacks yet. That window
// is held while the box is open: never drawn to, its input ignored, and the size it is
// given kept for the callbacks registered later. It is the current window again when
// show returns.
class MessageDialog {
public:
    // Returns once the box has been dismissed and is gone.
    static void show(const char* caption, const char* text);
};
