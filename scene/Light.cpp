#include "scene/Light.h"

#include <GL/gl.h>

Light::Light(float x, float y, float z, float r, float g, float b)
    : position{x, y, z}, color{r, g, b, 0.0f}
{
    issueColor();
    // w = 0 makes the light directional. It is issued once, under the identity
    // modelview, so it stays fixed relative to the viewer.
    const float direction[4] = {position.x, position.y, position.z, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
}

void Light::brighten(float dr, float dg, float db)
{
    color[0] += dr;
    color[1] += dg;
    color[2] += db;
    issueColor();
}

void Light::setColor(float r, float g, float b)
{
    color[0] = r;
    color[1] = g;
    color[2] = b;
    issueColor();
}

void Light::issueColor()
{
    glLightfv(GL_LIGHT0, GL_DIFFUSE, color);
    glLightfv(GL_LIGHT0, GL_SPECULAR, color);
}
