#include "app/FocusWatch.h"

#include <GL/glx.h>
#include <X11/Xutil.h>

#include <cctype>

// freeglut reports no focus changes, and the events it reads are its own: the
// watch listens on a connection of its own, to the same display, for the focus
// and crossing events of the window. Every client chooses the events it gets
// from a window, so this takes nothing from freeglut's connection.
struct FocusWatch::Watch {
    Display* connection;
    Window window;
};

namespace {

// Keys go to the window under the pointer while the focus is PointerRoot, as
// it is on a display without a window manager: there, the pointer leaving the
// window takes the keyboard away without any focus event.
bool keysFollowPointer(Display* connection)
{
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(connection, &focus, &revertTo);
    return focus == PointerRoot;
}

} // namespace

FocusWatch::FocusWatch() : watch(new Watch{nullptr, glXGetCurrentDrawable()})
{
    Display* game = glXGetCurrentDisplay();
    if (!game || !watch->window)
        return;
    // Without a connection of its own the watch sees nothing, and the game plays
    // on as if the focus never left.
    watch->connection = XOpenDisplay(DisplayString(game));
    if (!watch->connection)
        return;
    XSelectInput(watch->connection, watch->window, FocusChangeMask | LeaveWindowMask);
    XFlush(watch->connection);
}

FocusWatch::~FocusWatch()
{
    if (watch->connection)
        XCloseDisplay(watch->connection);
}

// Every way the keyboard can leave the window counts: another window taking the
// focus, and also another program grabbing the keyboard (a window manager's
// Alt-Tab), since the keys let go during a grab go to the grabbing program. Focus
// moving into a window inside this one would keep it, but the window has none.
// Keys that followed the pointer into the window and then have the focus set on
// the window itself count as lost too: a key still held must be pressed again,
// which is better than a key let go in another window and never heard of.
bool FocusWatch::lost()
{
    Display* connection = watch->connection;
    if (!connection)
        return false;
    bool gone = false;
    while (XPending(connection)) {
        XEvent event;
        XNextEvent(connection, &event);
        if (event.type == FocusOut && event.xfocus.detail != NotifyInferior)
            gone = true;
        if (event.type == LeaveNotify && event.xcrossing.detail != NotifyInferior &&
            keysFollowPointer(connection))
            gone = true;
    }
    return gone;
}

// The loss is heard on this connection and the keys on freeglut's, so a press queued
// on freeglut's before the loss (a key's repeat) can be read after it. The server's
// keyboard says whether the key is down now. Only letters are asked about: the
// controls are letters, and Escape must always be heard.
bool FocusWatch::stale(unsigned char key)
{
    if (!watch->connection || !std::isalpha(key))
        return false;
    const char name[2] = {static_cast<char>(std::tolower(key)), 0};
    const KeyCode code = XKeysymToKeycode(watch->connection, XStringToKeysym(name));
    char keys[32] = {};
    if (code == 0 || !XQueryKeymap(watch->connection, keys))
        return false;
    return !(keys[code / 8] & (1 << (code % 8)));
}
