#include "input/InputHandler.h"

#include <GL/freeglut.h>

#include <cstdlib>

#include "input/ControlState.h"

// A drag of one pixel nudges the camera eye by this much on every rolling tick.
static const double nudgePerPixel = 0.001;
static const float steerAmount = 0.1f;

static float nudge(int coordinate, float start)
{
    return static_cast<float>((static_cast<double>(coordinate) - start) * nudgePerPixel);
}

InputHandler::InputHandler(ControlState* controls)
    : controls(controls), leftDragging(false), rightDragging(false)
{
}

void InputHandler::mouse(int button, int state, int x, int y)
{
    if (button == GLUT_LEFT_BUTTON && state == GLUT_DOWN) {
        leftDragging = true;
        leftStartX = static_cast<float>(x);
        leftStartY = static_cast<float>(y);
    }
    // Releasing either button stops the whole nudge, even while the other is held.
    if (button == GLUT_LEFT_BUTTON && state == GLUT_UP) {
        leftDragging = false;
        controls->setCameraNudge(0.0f, 0.0f, 0.0f);
    }
    if (button == GLUT_RIGHT_BUTTON && state == GLUT_DOWN) {
        rightDragging = true;
        rightStartX = static_cast<float>(x);
    }
    if (button == GLUT_RIGHT_BUTTON && state == GLUT_UP) {
        rightDragging = false;
        controls->setCameraNudge(0.0f, 0.0f, 0.0f);
    }
}

void InputHandler::motion(int x, int y)
{
    if (leftDragging)
        controls->setCameraNudge(nudge(x, leftStartX), nudge(y, leftStartY), 0.0f);
    // With both buttons held the right drag wins.
    if (rightDragging)
        controls->setCameraNudge(0.0f, 0.0f, nudge(x, rightStartX));
}

void InputHandler::keyboard(unsigned char key, int, int)
{
    switch (key) {
    case 27:
        std::exit(0);
    case 'a':
        controls->setSteer(0.0f, 0.0f, -steerAmount);
        break;
    case 'b':
        controls->setBrake(1);
        break;
    case 'd':
        controls->setSteer(0.0f, 0.0f, steerAmount);
        break;
    default:
        break;
    }
}

void InputHandler::keyboardUp(unsigned char key, int, int)
{
    switch (key) {
    case 'a':
    case 'd':
        controls->setSteer(0.0f, 0.0f, 0.0f);
        break;
    case 'b':
        controls->setBrake(0);
        break;
    default:
        break;
    }
}

void InputHandler::focusLost()
{
    keyboardUp('d', 0, 0);
    keyboardUp('b', 0, 0);
}
