#include "app/FocusWatch.h"

#include <GL/glx.h>
#include <X11/Xutil.h>

#include <cctype>

// freeglut reports no focus changes, and the events it reads are its own: the
// watch listens on a connection of its own, to the same display, for the focus
// and crossing events of the window. Every client chooses the events it gets
// from a window, so this takes nothing from freeglut's connection. There is one
// game window, so there is one watch, and its connection lives here.

namespace {

Display* watchConnection = nullptr;
Window watchedWindow = 0;

// Keys go to the window under the pointer while the focus is PointerRoot, as
// it is on a display without a window manager: there, the pointer leaving the
// window takes the keyboard away without any focus event.
bool keysFollowPointer()
{
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(watchConnection, &focus, &revertTo);
    return focus == PointerRoot;
}

} // namespace

FocusWatch::FocusWatch()
{
    Display* game = glXGetCurrentDisplay();
    watchedWindow = glXGetCurrentDrawable();
    if (!game || !watchedWindow)
        return;
    // Without a connection of its own the watch sees nothing, and the game plays
    // on as if the focus never left.
    watchConnection = XOpenDisplay(DisplayString(game));
    if (!watchConnection)
        return;
    XSelectInput(watchConnection, watchedWindow, FocusChangeMask | LeaveWindowMask);
    XFlush(watchConnection);
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
    if (!watchConnection)
        return false;
    bool gone = false;
    while (XPending(watchConnection)) {
        XEvent event;
        XNextEvent(watchConnection, &event);
        if (event.type == FocusOut && event.xfocus.detail != NotifyInferior)
            gone = true;
        if (event.type == LeaveNotify && event.xcrossing.detail != NotifyInferior &&
            keysFollowPointer())
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
    if (!watchConnection || !std::isalpha(key))
        return false;
    const char name[2] = {static_cast<char>(std::tolower(key)), 0};
    const KeyCode code = XKeysymToKeycode(watchConnection, XStringToKeysym(name));
    char keys[32] = {};
    if (code == 0 || !XQueryKeymap(watchConnection, keys))
        return false;
    return !(keys[code / 8] & (1 << (code % 8)));
}
