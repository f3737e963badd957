#pragma once

class ControlState;
class InputHandler;
class Scene;
class Simulation;

// Owns what makes up play and forwards each GLUT event to the part that handles it.
class Game {
public:
    explicit Game(Scene* scene);

    void mouse(int button, int state, int x, int y);
    void motion(int x, int y);
    void keyboard(unsigned char key, int x, int y);
    void keyboardUp(unsigned char key, int x, int y);
    void focusLost();
    void idle();

    Simulation* getSimulation() { return simulation; }

private:
    ControlState* controls;
    Simulation* simulation;
    InputHandler* inputHandler;
};
