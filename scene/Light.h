#pragma once

#include "scene/Vec3.h"

// OpenGL light 0: a directional light whose colour the run fades in and out.
class Light {
public:
    // Issues diffuse, specular and position at once, so a GL context must be current.
    Light(float x, float y, float z, float r, float g, float b);

    // Adds to the colour without clamping and re-issues diffuse and specular.
    void brighten(float dr, float dg, float db);
    // Overwrites the colour and re-issues diffuse and specular; every run's intro
    // starts from black this way, so the fades cannot drift from run to run.
    void setColor(float r, float g, float b);

    Vec3 getPosition() const { return position; }
    const float* getColor() const { return color; }

private:
    void issueColor();

    Vec3 position;
    float color[4]; // r, g, b and an alpha of 0 that never changes
};
