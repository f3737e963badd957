#include "scene/Marble.h"

#include <GL/freeglut.h>

Marble::Marble(float x, float y, float z)
    : position{x, y, z}, specular{1.0f, 1.0f, 1.0f, 1.0f},
      shininess(80.0f), diffuse{0.8f, 0.0f, 0.6f, 1.0f}
{
}

void Marble::draw()
{
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glTranslatef(position.x, position.y, position.z);
    glutSolidSphere(0.5, 40, 40);
}

void Marble::setPosition(float x, float y, float z)
{
    position = Vec3{x, y, z};
}

void Marble::move(float dx, float dy, float dz)
{
    position.x += dx;
    position.y += dy;
    position.z += dz;
}

void Marble::getPosition(float* x, float* y, float* z) const
{
    *x = position.x;
    *y = position.y;
    *z = position.z;
}
