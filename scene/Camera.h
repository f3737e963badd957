#pragma once

#include "scene/Vec3.h"

// The viewer: where it stands and the point it looks at; up is always +y.
class Camera {
public:
    Camera(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ);

    // Multiplies the view transform into the current matrix (load the identity first).
    void apply();
    void set(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ);
    // Moves eye and centre together: the camera travels without turning.
    void translate(float dx, float dy, float dz);
    // Moves the eye only: the camera swings about the point it looks at.
    void moveEye(float dx, float dy, float dz);

    Vec3 getEye() const { return eye; }
    Vec3 getCenter() const { return center; }

private:
    Vec3 eye;
    Vec3 center;
};
