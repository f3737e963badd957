#include "scene/Obstacle.h"

#include <GL/freeglut.h>

#include <cmath>

// Distance meaning "no contact ahead"; callers compare it like any other distance.
static const float noContact = 500.0f;

Obstacle::Obstacle() : nextObstacle(nullptr)
{
}

float Obstacle::intersect(float, float, float, float, float, float, Obstacle**)
{
    return 0.0f;
}

void Obstacle::draw()
{
}

Obstacle* Obstacle::next()
{
    return nextObstacle;
}

void Obstacle::pushObstacle(Obstacle** head, Obstacle* obstacle)
{
    Obstacle* oldHead = *head;
    *head = obstacle;
    obstacle->nextObstacle = oldHead;
}

// Where the marble centre, moving from origin along dir, first comes within 1
// (the sum of both radii) of position. All in float, each intermediate rounded.
float Obstacle::sphereContact(const Vec3& position, float originX, float originY, float originZ,
                              float dirX, float dirY, float dirZ, Obstacle** cursor)
{
    const float ex = originX - position.x;
    const float ey = originY - position.y;
    const float ez = originZ - position.z;

    // The marble runs towards +x: more than one unit beyond the centre it is past.
    if (ex > 1.0f) {
        *cursor = (*cursor)->next();
        return noContact;
    }

    const float a = dirX * dirX + dirY * dirY + dirZ * dirZ;
    const float b = 2.0f * (ex * dirX + ey * dirY + ez * dirZ);
    const float c = ex * ex + ey * ey + ez * ez - 1.0f;
    const float disc = b * b - 4.0f * a * c;
    if (disc < 0.0f)
        return noContact; // the line of motion misses

    const float s = static_cast<float>(std::sqrt(static_cast<double>(disc)));
    const float t1 = (-b + s) / (2.0f * a);
    const float t2 = (-b - s) / (2.0f * a);

    // Contact only behind the marble: it is moving away and will never touch.
    if (t1 < 0.0f)
        return noContact;
    if (t1 >= 0.0f && t1 < t2)
        return t1;
    if (t2 >= 0.0f && t2 < t1)
        return t2;
    return 0.0f; // already touching, or grazing: stop where it stands
}

void Obstacle::drawSphere(const Vec3& position, const float* diffuse)
{
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glTranslatef(position.x, position.y, position.z);
    glutSolidSphere(0.5, 40, 40);
}
