#include "tests/support/XWindowProbe.h"

#include <cstdint>

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

// Xlib's default handler ends the process, but a window closing between two
// calls is ordinary here: while a trap is set, errors are only counted. The
// process's own handler comes back afterwards, and every call ends with a round
// trip, so the errors of a call arrive while its trap is set.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display)
        : display(display), before(errorCount), previous(XSetErrorHandler(countError))
    {
    }
    ~ErrorTrap() { XSetErrorHandler(previous); }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool ok()
    {
        XSync(display, False);
        return errorCount == before;
    }

private:
    Display* display;
    int before;
    XErrorHandler previous;
};

// A channel of any width (5, 6, 8, 10 bits) of a pixel, scaled to 8 bits.
class Channel {
public:
    explicit Channel(unsigned long mask) : mask(mask)
    {
        while (mask && !((mask >> shift) & 1))
            ++shift;
    }
    unsigned char of(unsigned long pixel) const
    {
        const unsigned long value = (pixel & mask) >> shift, max = mask >> shift;
        return static_cast<unsigned char>(max == 255 || !max ? value : value * 255 / max);
    }

private:
    unsigned long mask;
    int shift = 0;
};

} // namespace

XWindowProbe::XWindowProbe(const char* displayName)
{
    display = XOpenDisplay(displayName);
    if (!display)
        return;
    int eventBase, errorBase, major, minor;
    xtest = XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
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
    if (!display)
        return 0;
    ErrorTrap trap(display);
    const unsigned long found = search(DefaultRootWindow(display), title);
    return trap.ok() ? found : 0;
}

unsigned long XWindowProbe::search(unsigned long window, const std::string& title)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        const bool match = title == name;
        XFree(name);
        XWindowAttributes attributes;
        if (match && XGetWindowAttributes(display, window, &attributes) &&
            attributes.map_state == IsViewable)
            return window;
    }
    Window root, parent;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return 0;
    unsigned long found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        found = search(children[i], title);
    if (children)
        XFree(children);
    return found;
}

bool XWindowProbe::getGeometry(unsigned long window, Geometry& geometry)
{
    if (!display)
        return false;
    ErrorTrap trap(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return false;
    const Window rootWindow = DefaultRootWindow(display);
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(display, window, rootWindow, 0, 0, &x, &y, &child);
    Window root, parent = rootWindow;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) && children)
        XFree(children);
    if (!trap.ok())
        return false;
    geometry.x = x;
    geometry.y = y;
    geometry.width = attributes.width;
    geometry.height = attributes.height;
    geometry.reparented = parent != rootWindow;
    return true;
}

bool XWindowProbe::grab(unsigned long window, WindowImage& image)
{
    Geometry geometry;
    if (!getGeometry(window, geometry))
        return false;
    ErrorTrap trap(display);
    XImage* ximage =
        XGetImage(display, window, 0, 0, geometry.width, geometry.height, AllPlanes, ZPixmap);
    const bool ok = trap.ok();
    if (!ximage)
        return false;
    if (ok) {
        image.resize(geometry.width, geometry.height);
        const Channel red(ximage->red_mask), green(ximage->green_mask), blue(ximage->blue_mask);
        // The usual visual, 32-bit pixels in this machine's byte order, is read without
        // a call per pixel.
        const uint32_t one = 1;
        const bool native = ximage->bits_per_pixel == 32 &&
                            (ximage->byte_order == LSBFirst) ==
                                (*reinterpret_cast<const unsigned char*>(&one) == 1);
        for (int y = 0; y < image.height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                ximage->data + size_t(y) * size_t(ximage->bytes_per_line));
            for (int x = 0; x < image.width; ++x) {
                const unsigned long pixel = native ? row[x] : XGetPixel(ximage, x, y);
                unsigned char* out = image.at(x, y);
                out[0] = red.of(pixel);
                out[1] = green.of(pixel);
                out[2] = blue.of(pixel);
            }
        }
    }
    XDestroyImage(ximage);
    return ok;
}

bool XWindowProbe::freeze()
{
    if (!display)
        return false;
    ErrorTrap trap(display);
    XGrabServer(display);
    return trap.ok();
}

void XWindowProbe::thaw()
{
    if (!display)
        return;
    XUngrabServer(display);
    XSync(display, False);
}

bool XWindowProbe::focus(unsigned long window)
{
    Geometry geometry;
    if (!getGeometry(window, geometry))
        return false;
    ErrorTrap trap(display);
    // Without a window manager the server may route keys to the window under the
    // pointer, so the pointer goes inside as well.
    if (xtest)
        XTestFakeMotionEvent(display, DefaultScreen(display), geometry.x + geometry.width / 2,
                             geometry.y + geometry.height / 2, CurrentTime);
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    return trap.ok();
}

bool XWindowProbe::key(const std::string& keysymName, bool press)
{
    if (!display || !xtest)
        return false;
    const KeySym keysym = XStringToKeysym(keysymName.c_str());
    if (keysym == NoSymbol)
        return false;
    const KeyCode code = XKeysymToKeycode(display, keysym);
    if (!code)
        return false;
    ErrorTrap trap(display);
    XTestFakeKeyEvent(display, code, press ? True : False, CurrentTime);
    return trap.ok();
}

bool XWindowProbe::click(unsigned long window, int x, int y)
{
    Geometry geometry;
    if (!xtest || !getGeometry(window, geometry))
        return false;
    ErrorTrap trap(display);
    XTestFakeMotionEvent(display, DefaultScreen(display), geometry.x + x, geometry.y + y,
                         CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    return trap.ok();
}

bool XWindowProbe::requestClose(unsigned long window)
{
    if (!display)
        return false;
    ErrorTrap trap(display);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    return trap.ok();
}

bool XWindowProbe::destroy(unsigned long window)
{
    if (!display)
        return false;
    ErrorTrap trap(display);
    XDestroyWindow(display, window);
    return trap.ok();
}

bool XWindowProbe::movePointer(int x, int y)
{
    if (!display || !xtest)
        return false;
    ErrorTrap trap(display);
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    return trap.ok();
}

unsigned long XWindowProbe::focusedWindow()
{
    if (!display)
        return 0;
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display, &focus, &revertTo);
    return focus;
}

unsigned long XWindowProbe::openWindow(int x, int y, int width, int height)
{
    if (!display)
        return 0;
    ErrorTrap trap(display);
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(
        display, DefaultRootWindow(display), x, y, unsigned(width), unsigned(height), 0,
        BlackPixel(display, screen), WhitePixel(display, screen));
    // Placed where asked, even under a window manager.
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = x;
    hints.y = y;
    hints.width = width;
    hints.height = height;
    XSetWMNormalHints(display, window, &hints);
    XSelectInput(display, window, KeyReleaseMask);
    XMapWindow(display, window);
    if (!trap.ok())
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
    if (!display)
        return false;
    XSync(display, False);
    XEvent event;
    bool released = false;
    while (XCheckTypedWindowEvent(display, window, KeyRelease, &event))
        released = true;
    return released;
}

bool XWindowProbe::property(unsigned long window, const std::string& name, int format,
                            std::vector<unsigned char>& bytes, std::vector<unsigned long>& numbers)
{
    if (!display)
        return false;
    ErrorTrap trap(display);
    const Atom atom = XInternAtom(display, name.c_str(), True);
    if (atom == None)
        return false;
    Atom type = None;
    int gotFormat = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    // Up to 16 MB: far more than any property a window carries.
    const int status = XGetWindowProperty(display, window, atom, 0, 1L << 22, False,
                                          AnyPropertyType, &type, &gotFormat, &count, &left, &data);
    const bool ok = trap.ok() && status == Success && data && gotFormat == format && left == 0;
    if (ok && format == 8)
        bytes.assign(data, data + count);
    // Xlib hands 32-bit items over as longs, sign-extended where longs are wider.
    if (ok && format == 32)
        for (unsigned long i = 0; i < count; ++i)
            numbers.push_back(reinterpret_cast<const unsigned long*>(data)[i] & 0xffffffffUL);
    if (data)
        XFree(data);
    return ok;
}

bool XWindowProbe::textProperty(unsigned long window, const std::string& name, std::string& text)
{
    std::vector<unsigned char> bytes;
    std::vector<unsigned long> numbers;
    if (!property(window, name, 8, bytes, numbers))
        return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
}

bool XWindowProbe::numberProperty(unsigned long window, const std::string& name,
                                  std::vector<unsigned long>& numbers)
{
    std::vector<unsigned char> bytes;
    return property(window, name, 32, bytes, numbers);
}
