// marble: a marble rolls down a textured track; steer with a/d, brake with b,
// drag the mouse to swing the camera, Escape to quit.

#include <GL/freeglut.h>

#include "app/FocusWatch.h"
#include "app/Game.h"
#include "app/MainLoop.h"
#include "app/MessageDialog.h"
#include "app/SwapInterval.h"
#include "app/WindowFit.h"
#include "app/WindowIdentity.h"
#include "image/BmpLoader.h"
#include "scene/Scene.h"

static Scene* gScene;
static Game* gGame;
// Keys let go in another window never come back as key-ups: on the next tick after
// the window loses the focus, the game lets go of them itself.
static FocusWatch* gFocusWatch;

static void display()
{
    gScene->draw();
}

static void reshape(int width, int height)
{
    gScene->reshape(width, height);
}

static void mouse(int button, int state, int x, int y)
{
    gGame->mouse(button, state, x, y);
}

static void motion(int x, int y)
{
    gGame->motion(x, y);
}

static void keyboard(unsigned char key, int x, int y)
{
    if (gFocusWatch->stale(key))
        return;
    gGame->keyboard(key, x, y);
}

static void keyboardUp(unsigned char key, int x, int y)
{
    gGame->keyboardUp(key, x, y);
}

static void idle()
{
    if (gFocusWatch->lost())
        gGame->focusLost();
    gGame->idle();
}

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    // On a screen too small for it, the largest window of the same shape that fits.
    const WindowSize size = fitToScreen({1273, 970});
    glutInitWindowSize(size.width, size.height);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(argv[0]);
    // Its class, process and icon, by which the desktop ties it to the menu entry.
    applyWindowIdentity();
    // One frame per display refresh where the driver lets us ask for it; the main loop
    // runs 60 ticks of the game a second whatever the refresh rate.
    requestSwapInterval();

    // The scene uploads its texture and sets up the light: it needs the context
    // that window creation has just made current. A texture that cannot be read is
    // reported in a dialog as well, which a player started from a menu can see.
    setBmpErrorNotice(showMessageDialog);
    gScene = new Scene();
    gGame = new Game(gScene);
    gFocusWatch = new FocusWatch();

    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutIgnoreKeyRepeat(1);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutKeyboardFunc(keyboard);
    glutKeyboardUpFunc(keyboardUp);
    runMainLoop(idle, display);
    return 0;
}
