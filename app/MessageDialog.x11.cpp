#include "app/MessageDialog.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <poll.h>

#include <algorithm>
#include <string>

namespace {

void* const font = GLUT_BITMAP_HELVETICA_12;
const int fontAscent = 9; // of the capitals, above the baseline
const int margin = 20;
const int minWidth = 240;
const int boxHeight = 110;
const int buttonWidth = 80;
const int buttonHeight = 26;

// The box on screen; its window's callbacks reach it here.
struct Box {
    std::string text;
    int window;
    int width;
    int height;
    bool open;
};
Box* box = nullptr;

// The X windows the box deals with, and the error handler that was in place
// before it. Another program may destroy the box (xdotool windowclose does) or
// unmap the held window at any moment, so errors about these two are the box's to
// handle: a destroyed box counts as dismissed. Errors about anything else go on to
// the handler before, Xlib's own, which ends the program.
Window boxHandle = 0;
Window heldHandle = 0;
XErrorHandler handlerBefore = nullptr;

int onXError(Display* display, XErrorEvent* error)
{
    if (boxHandle && error->resourceid == boxHandle)
        return 0;
    if (heldHandle && error->resourceid == heldHandle)
        return 0;
    return handlerBefore ? handlerBefore(display, error) : 0;
}

// The size freeglut has passed to the held window, width -1 while none.
int heldWidth = -1;
int heldHeight = -1;

int buttonLeft()
{
    return (box->width - buttonWidth) / 2;
}

int buttonTop()
{
    return box->height - margin - buttonHeight;
}

int textWidth(const std::string& text)
{
    return glutBitmapLength(font, reinterpret_cast<const unsigned char*>(text.c_str()));
}

// Text whose capitals have their top at y.
void drawText(int x, int y, const std::string& text)
{
    glRasterPos2i(x, y + fontAscent);
    for (const char c : text)
        glutBitmapCharacter(font, static_cast<unsigned char>(c));
}

void display()
{
    // Window coordinates, y down, as mouse events report them.
    glViewport(0, 0, box->width, box->height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, box->width, box->height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glClearColor(0.92f, 0.92f, 0.92f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const int left = buttonLeft(), top = buttonTop();
    glColor3f(0.8f, 0.8f, 0.8f);
    glRecti(left, top, left + buttonWidth, top + buttonHeight);
    glColor3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_LINE_LOOP); // through pixel centres
    glVertex2f(left + 0.5f, top + 0.5f);
    glVertex2f(left + buttonWidth - 0.5f, top + 0.5f);
    glVertex2f(left + buttonWidth - 0.5f, top + buttonHeight - 0.5f);
    glVertex2f(left + 0.5f, top + buttonHeight - 0.5f);
    glEnd();
    drawText(margin, margin, box->text);
    drawText(left + (buttonWidth - textWidth("OK")) / 2, top + (buttonHeight - fontAscent) / 2,
             "OK");
    glutSwapBuffers();
}

void reshape(int width, int height)
{
    box->width = width;
    box->height = height;
}

void keyboard(unsigned char key, int, int)
{
    if (key == '\r' || key == '\n' || key == 27)
        box->open = false;
}

// A click is a press and release of the left button, released over OK.
void mouse(int button, int state, int x, int y)
{
    const bool onButton = x >= buttonLeft() && x < buttonLeft() + buttonWidth && y >= buttonTop() &&
                          y < buttonTop() + buttonHeight;
    if (button == GLUT_LEFT_BUTTON && state == GLUT_UP && onButton)
        box->open = false;
}

// Destroyed, by the window manager's close button or by show.
void closed()
{
    box->open = false;
    box->window = 0;
}

void holdDisplay()
{
}

void holdReshape(int width, int height)
{
    heldWidth = width;
    heldHeight = height;
}

bool isViewable(Display* display, Window window)
{
    XWindowAttributes at;
    return XGetWindowAttributes(display, window, &at) && at.map_state == IsViewable;
}

// freeglut ignores the DestroyNotify of a window destroyed by another program and
// would go on waiting for the box: asking for the window's attributes is what
// tells that it is gone.
bool exists(Display* display, Window window)
{
    XWindowAttributes at;
    return XGetWindowAttributes(display, window, &at) != 0;
}

// The keyboard comes to the box as soon as it can take it (a window must be on
// screen to hold the focus), so Enter and Escape reach it even where no window
// manager gives the focus to new windows.
void takeFocus(Display* display, bool& taken)
{
    if (taken || !isViewable(display, boxHandle))
        return;
    XSetInputFocus(display, boxHandle, RevertToParent, CurrentTime);
    taken = true;
}

// Hands the keyboard back to the held window, unless the player has given it to
// another program meanwhile: only a focus still on the box, or left to nobody by
// the box's going, comes back.
void giveBackFocus(Display* display)
{
    if (!heldHandle)
        return;
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display, &focus, &revertTo);
    const bool unclaimed = focus == None || focus == PointerRoot || focus == boxHandle ||
                           focus == DefaultRootWindow(display);
    if (unclaimed && isViewable(display, heldHandle))
        XSetInputFocus(display, heldHandle, RevertToParent, CurrentTime);
}

// Sleeps until the X server has something for this program.
void waitForEvents(Display* display)
{
    if (XPending(display))
        return;
    pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, -1);
}

// Queues a window's size as if the server had just reported it.
void putBackSize(Display* display, Window window, const XWindowAttributes& at, int width,
                 int height)
{
    XEvent event{};
    event.xconfigure.type = ConfigureNotify;
    event.xconfigure.send_event = True;
    event.xconfigure.display = display;
    event.xconfigure.event = window;
    event.xconfigure.window = window;
    event.xconfigure.x = at.x;
    event.xconfigure.y = at.y;
    event.xconfigure.width = width;
    event.xconfigure.height = height;
    event.xconfigure.border_width = at.border_width;
    XPutBackEvent(display, &event);
}

// freeglut tells a window its size only when the size changes, so the size the held
// window took while the box was open would never reach the callbacks registered
// afterwards. Once more for them: a size of zero now, until zero is the last size the
// held window was told (the server may report the real one again meanwhile), and the
// real one queued for the program's own event loop.
void handOnHeldSize(Display* display, Window window)
{
    if (heldWidth < 0)
        return;
    XWindowAttributes at;
    if (!XGetWindowAttributes(display, window, &at))
        return;
    while (heldWidth != 0 || heldHeight != 0) {
        putBackSize(display, window, at, 0, 0);
        glutMainLoopEvent();
    }
    putBackSize(display, window, at, at.width, at.height);
}

} // namespace

void MessageDialog::show(const char* caption, const char* text)
{
    Box shown = {text, 0, 0, boxHeight, true};
    while (!shown.text.empty() && shown.text.back() == '\n')
        shown.text.pop_back();
    box = &shown;

    // The program's window: held, and the box centred on it.
    const int owner = glutGetWindow();
    const Window ownerHandle = owner ? glXGetCurrentDrawable() : 0;
    int x = 0, y = 0, width = glutGet(GLUT_SCREEN_WIDTH), height = glutGet(GLUT_SCREEN_HEIGHT);
    if (owner) {
        glutDisplayFunc(holdDisplay);
        glutReshapeFunc(holdReshape);
        x = glutGet(GLUT_WINDOW_X);
        y = glutGet(GLUT_WINDOW_Y);
        width = glutGet(GLUT_WINDOW_WIDTH);
        height = glutGet(GLUT_WINDOW_HEIGHT);
    }
    shown.width = std::clamp(textWidth(shown.text) + 2 * margin, minWidth,
                             std::max(minWidth, glutGet(GLUT_SCREEN_WIDTH)));
    const int closeAction = glutGet(GLUT_ACTION_ON_WINDOW_CLOSE);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutInitWindowSize(shown.width, shown.height);
    glutInitWindowPosition(std::max(0, x + (width - shown.width) / 2),
                           std::max(0, y + (height - shown.height) / 2));
    shown.window = glutCreateWindow(caption);
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutMouseFunc(mouse);
    glutCloseFunc(closed);
    Display* connection = glXGetCurrentDisplay();
    boxHandle = glXGetCurrentDrawable();
    heldHandle = ownerHandle;
    handlerBefore = XSetErrorHandler(onXError);
    if (ownerHandle)
        XSetTransientForHint(connection, boxHandle, ownerHandle);

    bool focused = false;
    while (shown.open) {
        glutMainLoopEvent();
        if (shown.open && !exists(connection, boxHandle))
            shown.open = false;
        if (shown.open) {
            takeFocus(connection, focused);
            waitForEvents(connection);
        }
    }
    // freeglut calls closed() from inside glutDestroyWindow and destroys the
    // window itself at its next pass over the events, which comes at once, while
    // errors about the box are still ignored: a box destroyed by another program is
    // one of freeglut's windows until then, and destroying it again only brings
    // such errors.
    if (shown.window) {
        glutDestroyWindow(shown.window);
        glutMainLoopEvent();
    }
    giveBackFocus(connection);
    XSync(connection, False);
    XSetErrorHandler(handlerBefore);
    boxHandle = heldHandle = 0;
    if (owner) {
        handOnHeldSize(connection, ownerHandle);
        glutSetWindow(owner);
    }
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, closeAction);
    heldWidth = heldHeight = -1;
    box = nullptr;
}
