#pragma once

#include <memory>

// Watches the program's window for the loss of the keyboard focus. A key released
// while another window has the focus is reported to that window, never to the game,
// so the game must let go of its held controls itself when the focus goes.
class FocusWatch {
public:
    // Watches the current GLUT window.
    FocusWatch();
    ~FocusWatch();
    FocusWatch(const FocusWatch&) = delete;
    FocusWatch& operator=(const FocusWatch&) = delete;

    // True once for every loss of the focus since the last call (several losses in
    // between count as one).
    bool lost();

    // Whether a key press comes too late: the key is no longer down, as it was let go
    // while another window had the focus. The game ignores such a press, which would
    // otherwise hold the key again after the loss let go of it.
    bool stale(unsigned char key);

    struct Watch; // what the platform watches with

private:
    std::unique_ptr<Watch> watch;
};
