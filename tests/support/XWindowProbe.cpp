#include "tests/support/XWindowProbe.h"

#include <cstdint>
#include <functional>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

int errorCount = 0;

int countError(Display*, XErrorEvent*)
{
    ++errorCount;
    return 0;
}

// Runs Xlib calls; false when they met an X error. Xlib's default handler ends the
// process, but a window closing between two calls is ordinary here: meanwhile errors
// are only counted. The calls end with a round trip, so their errors arrive in time.
bool trapped(Display* display, const std::function<bool()>& calls)
{
    if (!display)
        return false;
    const int before = errorCount;
    const XErrorHandler previous = XSetErrorHandler(countError);
    const bool done = calls();
    XSync(display, False);
    XSetErrorHandler(previous);
    return done && errorCount == before;
}

} // namespace

XWindowProbe::XWindowProbe() : display(XOpenDisplay(nullptr))
{
    int eventBase, errorBase, major, minor;
    xtest = display && XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
}

XWindowProbe::~XWindowProbe()
{
    if (display)
        XCloseDisplay(display);
}

int XWindowProbe::screenWidth() const
{
    return display ? DisplayWidth(display, DefaultScreen(display)) : 0;
}

int XWindowProbe::screenHeight() const
{
    return display ? DisplayHeight(display, DefaultScreen(display)) : 0;
}

unsigned long XWindowProbe::findWindow(const std::string& title)
{
    unsigned long found = 0;
    return trapped(display, [&] { return (found = search(DefaultRootWindow(display), title)); })
               ? found
               : 0;
}

unsigned long XWindowProbe::search(unsigned long window, const std::string& title)
{
    char* name = nullptr;
    XWindowAttributes attributes;
    if (XFetchName(display, window, &name) && name) {
        const bool match = title == name;
        XFree(name);
        if (match && XGetWindowAttributes(display, window, &attributes) &&
            attributes.map_state == IsViewable)
            return window;
    }
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    unsigned long found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count))
        for (unsigned int i = 0; i < count && !found; ++i)
            found = search(children[i], title);
    if (children)
        XFree(children);
    return found;
}

bool XWindowProbe::getGeometry(unsigned long window, Geometry& geometry)
{
    return trapped(display, [&] {
        XWindowAttributes attributes;
        Window root, parent = 0, child, *children = nullptr;
        unsigned int count = 0;
        if (!XGetWindowAttributes(display, window, &attributes) ||
            !XTranslateCoordinates(display, window, attributes.root, 0, 0, &geometry.x, &geometry.y,
                                   &child) ||
            !XQueryTree(display, window, &root, &parent, &children, &count))
            return false;
        if (children)
            XFree(children);
        geometry.width = attributes.width;
        geometry.height = attributes.height;
        geometry.reparented = parent != root;
        return true;
    });
}

bool XWindowProbe::grab(unsigned long window, WindowImage& image)
{
    Geometry at;
    XImage* ximage = nullptr;
    const uint32_t one = 1;
    const bool littleEndian = *reinterpret_cast<const unsigned char*>(&one) == 1;
    const bool ok =
        getGeometry(window, at) &&
        trapped(display,
                [&] {
                    return (ximage = XGetImage(display, window, 0, 0, unsigned(at.width),
                                               unsigned(at.height), AllPlanes, ZPixmap));
                }) &&
        ximage->bits_per_pixel == 32 && ximage->red_mask == 0xff0000 &&
        ximage->green_mask == 0xff00 && ximage->blue_mask == 0xff &&
        (ximage->byte_order == LSBFirst) == littleEndian;
    if (ok) {
        image.resize(at.width, at.height);
        for (int y = 0; y < image.height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                ximage->data + size_t(y) * size_t(ximage->bytes_per_line));
            for (int x = 0; x < image.width; ++x) {
                unsigned char* out = image.at(x, y);
                out[0] = static_cast<unsigned char>(row[x] >> 16);
                out[1] = static_cast<unsigned char>(row[x] >> 8);
                out[2] = static_cast<unsigned char>(row[x]);
            }
        }
    }
    if (ximage)
        XDestroyImage(ximage);
    return ok;
}

bool XWindowProbe::freeze()
{
    return trapped(display, [&] { return XGrabServer(display); });
}

void XWindowProbe::thaw()
{
    trapped(display, [&] { return XUngrabServer(display); });
}

bool XWindowProbe::focus(unsigned long window)
{
    // Without a window manager the server may route keys to the window under the
    // pointer, so the pointer goes inside as well.
    Geometry at;
    return getGeometry(window, at) && movePointer(at.x + at.width / 2, at.y + at.height / 2) &&
           trapped(display, [&] {
               return XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
           });
}

bool XWindowProbe::key(const std::string& keysymName, bool press)
{
    const KeySym keysym = XStringToKeysym(keysymName.c_str());
    return xtest && keysym != NoSymbol && trapped(display, [&] {
               const KeyCode code = XKeysymToKeycode(display, keysym);
               return code && XTestFakeKeyEvent(display, code, press, CurrentTime);
           });
}

bool XWindowProbe::click(unsigned long window, int x, int y)
{
    Geometry at;
    return getGeometry(window, at) && movePointer(at.x + x, at.y + y) && trapped(display, [&] {
               return XTestFakeButtonEvent(display, 1, True, CurrentTime) &&
                      XTestFakeButtonEvent(display, 1, False, CurrentTime);
           });
}

bool XWindowProbe::movePointer(int x, int y)
{
    return xtest && trapped(display, [&] {
               return XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
           });
}

bool XWindowProbe::requestClose(unsigned long window)
{
    return trapped(display, [&] {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        return XSendEvent(display, window, False, NoEventMask, &event);
    });
}

bool XWindowProbe::destroy(unsigned long window)
{
    return trapped(display, [&] { return XDestroyWindow(display, window); });
}

unsigned long XWindowProbe::focusedWindow()
{
    Window focus = 0;
    int revertTo = 0;
    return trapped(display, [&] { return XGetInputFocus(display, &focus, &revertTo); }) ? focus : 0;
}

unsigned long XWindowProbe::openWindow(int x, int y, int width, int height)
{
    Window window = 0;
    if (!trapped(display, [&] {
            const int screen = DefaultScreen(display);
            window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, unsigned(width),
                                         unsigned(height), 0, BlackPixel(display, screen),
                                         WhitePixel(display, screen));
            // Placed where asked, even under a window manager.
            XSizeHints hints{};
            hints.flags = USPosition | USSize;
            hints.x = x;
            hints.y = y;
            hints.width = width;
            hints.height = height;
            XSetWMNormalHints(display, window, &hints);
            XSelectInput(display, window, KeyReleaseMask);
            return XMapWindow(display, window);
        }))
        return 0;
    // A window manager maps it later than asked: wait until it can take the focus.
    for (int tries = 0; tries < 1000; ++tries) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, window, &attributes) &&
            attributes.map_state == IsViewable)
            return window;
        XSync(display, False);
    }
    return 0;
}

bool XWindowProbe::keyReleasedIn(unsigned long window)
{
    XEvent event;
    bool released = false;
    trapped(display, [] { return true; }); // every event sent so far is in
    while (display && XCheckTypedWindowEvent(display, window, KeyRelease, &event))
        released = true;
    return released;
}

bool XWindowProbe::property(unsigned long window, const std::string& name,
                            std::vector<unsigned long>& items)
{
    return trapped(display, [&] {
        const Atom atom = XInternAtom(display, name.c_str(), True);
        Atom type = None;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        // Up to 16 MB: far more than any property a window carries.
        const bool ok =
            atom != None &&
            XGetWindowProperty(display, window, atom, 0, 1L << 22, False, AnyPropertyType, &type,
                               &format, &count, &left, &data) == Success &&
            data && (format == 8 || format == 32) && left == 0;
        // Xlib hands 32-bit items over as longs, sign-extended where longs are wider.
        for (unsigned long i = 0; ok && i < count; ++i)
            items.push_back(format == 8
                                ? data[i]
                                : reinterpret_cast<const unsigned long*>(data)[i] & 0xffffffffUL);
        if (data)
            XFree(data);
        return ok;
    });
}

unsigned long XWindowProbe::atom(const std::string& name)
{
    return display ? XInternAtom(display, name.c_str(), False) : 0;
}
