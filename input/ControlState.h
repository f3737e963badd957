#pragma once

#include "scene/Vec3.h"

// What input has asked for, read by the simulation on every rolling tick.
class ControlState {
public:
    ControlState();

    void setCameraNudge(float x, float y, float z);
    void setSteer(float x, float y, float z);
    void setBrake(unsigned char flag);

    float getCameraNudgeX() const { return cameraNudge.x; }
    float getCameraNudgeY() const { return cameraNudge.y; }
    float getCameraNudgeZ() const { return cameraNudge.z; }
    float getSteerZ() const { return steer.z; }
    unsigned char getBrake() const { return brake; }

private:
    Vec3 cameraNudge; // added to the camera eye on every rolling tick
    Vec3 steer;       // only z is ever read
    unsigned char brake;
};
