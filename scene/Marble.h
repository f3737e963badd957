#pragma once

#include "scene/Vec3.h"

// The rolling ball as drawn: a purple, shiny sphere of radius 0.5.
class Marble {
public:
    Marble(float x, float y, float z);

    // Sets its material and leaves its translation on the current matrix;
    // the scene restores the camera matrix afterwards.
    void draw();
    void setPosition(float x, float y, float z);
    void move(float dx, float dy, float dz);
    void getPosition(float* x, float* y, float* z) const;

private:
    Vec3 position;
    float specular[4];
    float shininess;
    float diffuse[4];
};
