#pragma once

#include <string>
#include <vector>

#include "tests/support/WindowImage.h"

// Xlib's own tag for Display: declared here so that users of the probe need not
// include Xlib and its macros (None, Bool, Status, ...).
struct _XDisplay; // NOLINT(bugprone-reserved-identifier): the name is Xlib's, not ours

// Looks at and drives the windows of $DISPLAY from outside: finds a window by its title,
// reads its geometry, pixels and properties, and types keys and clicks through the XTEST
// extension as if a user pressed them. X errors (a window that vanished, a window not
// wholly on screen) make a call fail instead of ending the process.
class XWindowProbe {
public:
    struct Geometry {
        int x = 0, y = 0; // the window's top-left corner on the screen
        int width = 0, height = 0;
        bool reparented = false; // a window manager has framed it
    };

    XWindowProbe();
    ~XWindowProbe();
    XWindowProbe(const XWindowProbe&) = delete;
    XWindowProbe& operator=(const XWindowProbe&) = delete;

    bool isOpen() const { return display != nullptr; }
    bool hasXTest() const { return xtest; }
    int screenWidth() const;
    int screenHeight() const;

    // The first viewable window whose WM_NAME equals title, searching the whole tree (a
    // window manager nests top-level windows in frames); 0 when none.
    unsigned long findWindow(const std::string& title);
    bool getGeometry(unsigned long window, Geometry& geometry);
    // Copies the window's current contents; the display's visual must be the usual one
    // of 24-bit colour in 32-bit pixels (Xvfb's, as tools/with-xvfb.sh starts it).
    bool grab(unsigned long window, WindowImage& image);
    // While frozen the server serves this connection only: other clients, such as the
    // program that owns the window, stall at their next request, so the picture stands
    // still between looks. The server is released by thaw or on close.
    bool freeze();
    void thaw();

    // Gives the window the keyboard focus, so that typed keys reach it.
    bool focus(unsigned long window);
    // Presses or releases the key of an X keysym name such as "d" or "Escape".
    bool key(const std::string& keysymName, bool press);
    // Clicks the left button at a point of the window, counted from its top-left corner.
    bool click(unsigned long window, int x, int y);
    bool movePointer(int x, int y);
    // Asks the window to close, as a window manager's close button does.
    bool requestClose(unsigned long window);
    // Destroys the window from outside, whoever made it, as `xdotool windowclose` does.
    bool destroy(unsigned long window);
    // The window that has the keyboard focus; 0 for none, 1 for PointerRoot.
    unsigned long focusedWindow();

    // A plain window of the probe's own at a point of the screen, shown and ready to take
    // the focus, which notes the keys released in it; 0 on failure.
    unsigned long openWindow(int x, int y, int width, int height);
    // True when a key has been released in a window of openWindow since the last call.
    bool keyReleasedIn(unsigned long window);

    // A property of the window: the items of an 8-bit property (text, zero bytes kept) or
    // of a 32-bit one (numbers, such as CARDINAL or WINDOW).
    bool property(unsigned long window, const std::string& name, std::vector<unsigned long>& items);
    // The server's number for an atom's name, as ATOM properties hold it; 0 for none.
    unsigned long atom(const std::string& name);

private:
    unsigned long search(unsigned long window, const std::string& title);

    _XDisplay* display = nullptr;
    bool xtest = false;
};
