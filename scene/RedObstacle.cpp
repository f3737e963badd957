#include "scene/RedObstacle.h"

RedObstacle::RedObstacle(float x, float y, float z)
    : position{x, y, z}, diffuse{1.0f, 0.0f, 0.0f, 1.0f}
{
}

float RedObstacle::intersect(float originX, float originY, float originZ, float dirX, float dirY,
                             float dirZ, Obstacle** cursor)
{
    return sphereContact(position, originX, originY, originZ, dirX, dirY, dirZ, cursor);
}

void RedObstacle::draw()
{
    drawSphere(position, diffuse);
}
