#include "scene/BlueObstacle.h"

BlueObstacle::BlueObstacle(float x, float y, float z)
    : position{x, y, z}, diffuse{0.0f, 0.0f, 1.0f, 1.0f}
{
}

float BlueObstacle::intersect(float originX, float originY, float originZ, float dirX, float dirY,
                              float dirZ, Obstacle** cursor)
{
    return sphereContact(position, originX, originY, originZ, dirX, dirY, dirZ, cursor);
}

void BlueObstacle::draw()
{
    drawSphere(position, diffuse);
}
