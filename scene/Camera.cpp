#include "scene/Camera.h"

#include <GL/glu.h>

Camera::Camera(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ)
    : eye{eyeX, eyeY, eyeZ}, center{centerX, centerY, centerZ}
{
}

void Camera::apply()
{
    gluLookAt(eye.x, eye.y, eye.z, center.x, center.y, center.z, 0.0, 1.0, 0.0);
}

void Camera::set(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ)
{
    eye = Vec3{eyeX, eyeY, eyeZ};
    center = Vec3{centerX, centerY, centerZ};
}

void Camera::translate(float dx, float dy, float dz)
{
    eye.x += dx;
    eye.y += dy;
    eye.z += dz;
    center.x += dx;
    center.y += dy;
    center.z += dz;
}

void Camera::moveEye(float dx, float dy, float dz)
{
    eye.x += dx;
    eye.y += dy;
    eye.z += dz;
}
