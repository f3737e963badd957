#include "app/MainLoop.h"

#include <GL/freeglut.h>

// GLUT calls idle whenever no event is pending; the tick asks for a redisplay, and
// the buffer swap, held to the display's refresh, paces the calls.
void runMainLoop(void (*idle)(), void (*)())
{
    glutIdleFunc(idle);
    glutMainLoop();
}
