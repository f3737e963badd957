// emscripten's GLUT declares freeglut's standard interface under this name; the
// program includes it by freeglut's own.
#pragma once

#include <GL/freeglut_std.h>
