#include "app/WindowFit.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <vector>

namespace {

// The items of a 32-bit property of a window; empty when it has none.
std::vector<long> cardinals(Display* display, Window window, const char* name, Atom type)
{
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> items;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
                           &actualType, &format, &count, &after, &data) == Success &&
        data && format == 32) {
        // Xlib hands the items of a 32-bit property over as longs, whatever their width.
        const long* values = reinterpret_cast<const long*>(data);
        items.assign(values, values + count);
    }
    if (data)
        XFree(data);
    return items;
}

bool supports(Display* display, Window root, const char* name)
{
    const long atom = static_cast<long>(XInternAtom(display, name, False));
    for (long supported : cardinals(display, root, "_NET_SUPPORTED", XA_ATOM))
        if (supported == atom)
            return true;
    return false;
}

// The room the window manager leaves to windows on the current desktop; the whole
// screen where no window manager says.
WindowSize workArea(Display* display, Window root)
{
    const std::vector<long> area = cardinals(display, root, "_NET_WORKAREA", XA_CARDINAL);
    const std::vector<long> current = cardinals(display, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
    size_t at = current.empty() ? 0 : 4 * static_cast<size_t>(current[0]);
    if (at + 4 > area.size())
        at = 0;
    if (area.size() >= at + 4 && area[at + 2] > 0 && area[at + 3] > 0)
        return {static_cast<int>(area[at + 2]), static_cast<int>(area[at + 3])};
    const int screen = DefaultScreen(display);
    return {DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

// The frame's width (left and right) and height (title bar and bottom) that the window
// manager will put around a window like the game's. It is asked before the window
// exists (_NET_REQUEST_FRAME_EXTENTS on a window never shown) and answers on that
// window's _NET_FRAME_EXTENTS; one that cannot be asked, or does not answer at once,
// is taken to draw a common frame. No window manager, no frame.
WindowSize frame(Display* display, Window root, WindowSize wanted)
{
    const WindowSize common = {2 * 8, 32 + 8};
    if (cardinals(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty())
        return {0, 0};
    if (!supports(display, root, "_NET_REQUEST_FRAME_EXTENTS"))
        return common;
    const Window probe =
        XCreateSimpleWindow(display, root, 0, 0, wanted.width, wanted.height, 0, 0, 0);
    XSelectInput(display, probe, PropertyChangeMask);
    XEvent request = {};
    request.xclient.type = ClientMessage;
    request.xclient.window = probe;
    request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    request.xclient.format = 32;
    XSendEvent(display, root, False, SubstructureNotifyMask | SubstructureRedirectMask, &request);

    WindowSize size = common;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    for (;;) {
        const std::vector<long> extents =
            cardinals(display, probe, "_NET_FRAME_EXTENTS", XA_CARDINAL);
        if (extents.size() == 4) {
            size = {static_cast<int>(extents[0] + extents[1]),
                    static_cast<int>(extents[2] + extents[3])};
            break;
        }
        // The answer comes as a change of the property; events already read are
        // looked at before waiting for more.
        if (XPending(display)) {
            XEvent event;
            while (XPending(display))
                XNextEvent(display, &event);
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            break;
        pollfd connection = {ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(left));
    }
    XDestroyWindow(display, probe);
    return size;
}

} // namespace

// On a connection of its own: freeglut's is not to be had before its window exists.
WindowSize fitToScreen(WindowSize wanted)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return wanted;
    const Window root = DefaultRootWindow(display);
    const WindowSize area = workArea(display, root);
    const WindowSize border = frame(display, root, wanted);
    XCloseDisplay(display);
    return fitInside(wanted, {area.width - border.width, area.height - border.height});
}
