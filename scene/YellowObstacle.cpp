#include "scene/YellowObstacle.h"

YellowObstacle::YellowObstacle(float x, float y, float z)
    : position{x, y, z}, diffuse{1.0f, 1.0f, 0.0f, 1.0f}
{
}

float YellowObstacle::intersect(float originX, float originY, float originZ, float dirX, float dirY,
                                float dirZ, Obstacle** cursor)
{
    return sphereContact(position, originX, originY, originZ, dirX, dirY, dirZ, cursor);
}

void YellowObstacle::draw()
{
    drawSphere(position, diffuse);
}
