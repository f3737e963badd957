// The floor for the frame benchmark: a GLUT program that opens the same window
// as the game (1273 x 970 at (0, 0), double-buffered RGB with depth) and, driven
// by the idle callback exactly like the game, only clears and swaps.

#include <GL/freeglut.h>

static void display()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

static void idle()
{
    glutPostRedisplay();
}

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1273, 970);
    glutInitWindowPosition(0, 0);
    glutCreateWindow(argv[0]);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glutDisplayFunc(display);
    glutIdleFunc(idle);
    glutMainLoop();
    return 0;
}
