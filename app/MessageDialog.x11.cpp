#include "app/MessageDialog.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <string>

// A plain X window on a connection of its own, served by its own loop until dismissed;
// the game's loop and window wait meanwhile, their events kept in their queue. The game's
// window owns the box, so a window manager keeps the box over it as the game's dialog.

namespace {

const int margin = 20, minWidth = 240, boxHeight = 110, buttonWidth = 80, buttonHeight = 26;

// The box on screen. The connection is the box's alone, and so is its default GC, which
// draws in the server's default font.
Display* connection = nullptr;
Window box = 0;
GC gc = nullptr;
XFontStruct* font = nullptr;
std::string message;
int buttonLeft = 0, buttonTop = 0;

// Another program may destroy the box (xdotool windowclose does) or unmap the game's
// window at any moment: errors on the box's connection are ignored, its events tell the
// rest. Errors on other connections go on to the handler before (Xlib's own ends the
// program).
XErrorHandler handlerBefore = nullptr;

int onXError(Display* display, XErrorEvent* error)
{
    return display == connection ? 0 : handlerBefore ? handlerBefore(display, error) : 0;
}

// A grey of the given level (0 to 255); white where none can be had.
unsigned long grey(int level)
{
    XColor color{};
    color.red = color.green = color.blue = static_cast<unsigned short>(level * 257);
    if (XAllocColor(connection, DefaultColormap(connection, DefaultScreen(connection)), &color))
        return color.pixel;
    return WhitePixel(connection, DefaultScreen(connection));
}

// On the window's own light ground, the text with the tops of its capitals a margin
// down, and below it the OK button.
void draw()
{
    XSetForeground(connection, gc, grey(204));
    XFillRectangle(connection, box, gc, buttonLeft, buttonTop, buttonWidth, buttonHeight);
    XSetForeground(connection, gc, BlackPixel(connection, DefaultScreen(connection)));
    XDrawRectangle(connection, box, gc, buttonLeft, buttonTop, buttonWidth - 1, buttonHeight - 1);
    XDrawString(connection, box, gc, margin, margin + font->ascent, message.c_str(),
                static_cast<int>(message.size()));
    XDrawString(connection, box, gc, buttonLeft + (buttonWidth - XTextWidth(font, "OK", 2)) / 2,
                buttonTop + (buttonHeight + font->ascent) / 2, "OK", 2);
}

void setAtom(const char* property, const char* value)
{
    const Atom item = XInternAtom(connection, value, False);
    XChangeProperty(connection, box, XInternAtom(connection, property, False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&item), 1);
}

// A dialog of the game's, of a fixed size, modal over its owner, whose close button in
// the window manager's frame asks rather than destroys. It bears the game's class.
void setHints(const char* caption, Window owner, int width)
{
    XStoreName(connection, box, caption);
    XSizeHints size{};
    size.flags = PSize | PMinSize | PMaxSize;
    size.width = size.min_width = size.max_width = width;
    size.height = size.min_height = size.max_height = boxHeight;
    XSetWMNormalHints(connection, box, &size);
    XClassHint game{};
    if (owner && XGetClassHint(connection, owner, &game)) {
        XSetClassHint(connection, box, &game);
        XFree(game.res_name);
        XFree(game.res_class);
    }
    if (owner)
        XSetTransientForHint(connection, box, owner);
    setAtom("_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG");
    setAtom("_NET_WM_STATE", "_NET_WM_STATE_MODAL");
    setAtom("WM_PROTOCOLS", "WM_DELETE_WINDOW");
}

// Until Enter, Escape, a click released over OK or the close button dismisses the box,
// or another program destroys it (then true). The box takes the keyboard once, as soon
// as it is on screen, so Enter and Escape reach it even where no window manager gives
// the focus to new windows.
bool waitForDismissal()
{
    const Atom close = XInternAtom(connection, "WM_DELETE_WINDOW", False);
    bool focused = false;
    for (;;) {
        XEvent event;
        XNextEvent(connection, &event);
        char key = 0;
        switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0)
                draw();
            if (!focused)
                XSetInputFocus(connection, box, RevertToParent, CurrentTime);
            focused = true;
            break;
        case KeyPress:
            XLookupString(&event.xkey, &key, 1, nullptr, nullptr);
            if (key == '\r' || key == '\n' || key == 27)
                return false;
            break;
        case ButtonRelease:
            if (event.xbutton.button == Button1 &&
                unsigned(event.xbutton.x - buttonLeft) < unsigned(buttonWidth) &&
                unsigned(event.xbutton.y - buttonTop) < unsigned(buttonHeight))
                return false;
            break;
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == close)
                return false;
            break;
        case DestroyNotify:
            return true;
        }
    }
}

} // namespace

void showMessageDialog(const char* caption, const char* text)
{
    Display* game = glXGetCurrentDisplay();
    const Window owner = game ? glXGetCurrentDrawable() : 0;
    if (owner)
        XFlush(game); // so that the game's window exists for the box's connection too
    connection = XOpenDisplay(game ? DisplayString(game) : nullptr);
    if (!connection)
        return;
    handlerBefore = XSetErrorHandler(onXError);
    const int screen = DefaultScreen(connection);
    const Window root = RootWindow(connection, screen);
    gc = DefaultGC(connection, screen);
    font = XQueryFont(connection, XGContextFromGC(gc));
    message = text;
    while (!message.empty() && message.back() == '\n')
        message.pop_back();

    const int textWidth = XTextWidth(font, message.c_str(), static_cast<int>(message.size()));
    const int screenWidth = DisplayWidth(connection, screen);
    const int boxWidth =
        std::clamp(textWidth + 2 * margin, minWidth, std::max(minWidth, screenWidth));
    // Centred on the game's window; on the screen where the window's geometry is not read.
    Window parent;
    int x = 0, y = 0;
    unsigned int width = screenWidth, height = DisplayHeight(connection, screen), border, depth;
    if (owner)
        XGetGeometry(connection, owner, &parent, &x, &y, &width, &height, &border, &depth);
    box = XCreateSimpleWindow(connection, root, std::max(0, x + (int(width) - boxWidth) / 2),
                              std::max(0, y + (int(height) - boxHeight) / 2), boxWidth, boxHeight,
                              0, BlackPixel(connection, screen), grey(235));
    buttonLeft = (boxWidth - buttonWidth) / 2;
    buttonTop = boxHeight - margin - buttonHeight;
    setHints(caption, owner, boxWidth);
    XSelectInput(connection, box,
                 ExposureMask | KeyPressMask | ButtonReleaseMask | StructureNotifyMask);
    XMapWindow(connection, box);
    if (!waitForDismissal())
        XDestroyWindow(connection, box);

    // The keyboard goes back to the game's window, unless the player gave it to another
    // program meanwhile: only a focus still on the box, or left to nobody, comes back.
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(connection, &focus, &revertTo);
    const bool unclaimed = focus == None || focus == PointerRoot || focus == box || focus == root;
    XWindowAttributes at;
    if (owner && unclaimed && XGetWindowAttributes(connection, owner, &at) &&
        at.map_state == IsViewable)
        XSetInputFocus(connection, owner, RevertToParent, CurrentTime);
    XFreeFontInfo(nullptr, font, 1);
    XCloseDisplay(connection);
    XSetErrorHandler(handlerBefore);
    connection = nullptr;

    // What was typed or clicked into the game's window meanwhile is dropped, as a modal
    // box does.
    XEvent event;
    const long input =
        KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    if (owner)
        XSync(game, False);
    while (owner && XCheckWindowEvent(game, owner, input, &event)) {
    }
}
