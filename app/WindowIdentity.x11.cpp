#include "app/WindowIdentity.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <vector>

// The icon's items as _NET_WM_ICON holds them, painted at build time by
// tools/MakeIcon.cpp: for each size its width and height, then its pixels.
extern const unsigned int windowIconLength;
extern const unsigned int windowIcon[];

namespace {

// The class a desktop matches to the menu entry: the entry's id, which the entry
// names as its StartupWMClass. The instance is the command's name.
char instanceName[] = "marble-run";
char className[] = "io.github.marble_authors.marble_run";

void setCardinals(Display* display, Window window, const char* name,
                  const std::vector<unsigned long>& items)
{
    // Xlib takes the items of a 32-bit property as longs, whatever their width.
    XChangeProperty(display, window, XInternAtom(display, name, False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(items.data()),
                    static_cast<int>(items.size()));
}

} // namespace

// The window class, the process (beside WM_CLIENT_MACHINE, which freeglut sets)
// and the icon.
void applyWindowIdentity()
{
    Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    if (!display || !window)
        return;
    XClassHint hint = {instanceName, className};
    XSetClassHint(display, window, &hint);
    setCardinals(display, window, "_NET_WM_PID", {static_cast<unsigned long>(getpid())});
    setCardinals(display, window, "_NET_WM_ICON",
                 std::vector<unsigned long>(windowIcon, windowIcon + windowIconLength));
    XFlush(display);
}
