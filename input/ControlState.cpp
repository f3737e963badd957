#include "input/ControlState.h"

ControlState::ControlState() : cameraNudge{0.0f, 0.0f, 0.0f}, steer{0.0f, 0.0f, 0.0f}, brake(0)
{
}

void ControlState::setCameraNudge(float x, float y, float z)
{
    cameraNudge = Vec3{x, y, z};
}

void ControlState::setSteer(float x, float y, float z)
{
    steer = Vec3{x, y, z};
}

void ControlState::setBrake(unsigned char flag)
{
    brake = flag;
}
