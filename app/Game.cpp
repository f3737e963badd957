#include "app/Game.h"

#include "input/ControlState.h"
#include "input/InputHandler.h"
#include "sim/Simulation.h"

Game::Game(Scene* scene)
{
    controls = new ControlState();
    simulation = new Simulation(scene, controls);
    inputHandler = new InputHandler(controls);
}

void Game::mouse(int button, int state, int x, int y)
{
    inputHandler->mouse(button, state, x, y);
}

void Game::motion(int x, int y)
{
    inputHandler->motion(x, y);
}

void Game::keyboard(unsigned char key, int x, int y)
{
    inputHandler->keyboard(key, x, y);
}

void Game::keyboardUp(unsigned char key, int x, int y)
{
    inputHandler->keyboardUp(key, x, y);
}

void Game::focusLost()
{
    inputHandler->focusLost();
}

void Game::idle()
{
    simulation->tick();
}
