#pragma once

#include <GL/freeglut.h>

// Opens a small GLUT window whose context is then current; GLUT is initialised by
// the first call in the process, so tests that need a context can share one process.
inline void openTestWindow(const char* title)
{
    if (!glutGet(GLUT_INIT_STATE)) {
        static char name[] = "marble_display_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(64, 64);
    }
    glutCreateWindow(title);
}
