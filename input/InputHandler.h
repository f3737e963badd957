#pragma once

class ControlState;

// Turns GLUT mouse and key events into control values; it never touches the scene.
class InputHandler {
public:
    explicit InputHandler(ControlState* controls);

    void mouse(int button, int state, int x, int y);
    void motion(int x, int y);
    void keyboard(unsigned char key, int x, int y);
    void keyboardUp(unsigned char key, int x, int y);
    // The window lost the keyboard focus: the held keys are let go as if released.
    void focusLost();

private:
    ControlState* controls;
    bool leftDragging;
    bool rightDragging;
    float leftStartX, leftStartY; // written whenever leftDragging is set
    float rightStartX;            // written whenever rightDragging is set
};
