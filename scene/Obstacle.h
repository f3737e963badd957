#pragma once

#include "scene/Vec3.h"

// A sphere of radius 0.5 standing on the track, linked into a list ordered by
// increasing x: the marble only ever asks the obstacle under its cursor.
class Obstacle {
public:
    Obstacle();

    // Distance along (dirX, dirY, dirZ) before the marble touches this obstacle,
    // 500 for no contact ahead. Moves *cursor on once the marble is past it.
    virtual float intersect(float originX, float originY, float originZ, float dirX, float dirY,
                            float dirZ, Obstacle** cursor);
    virtual void draw();

    Obstacle* next();

    // Puts obstacle at the front of the list whose head pointer is *head.
    static void pushObstacle(Obstacle** head, Obstacle* obstacle);

protected:
    // The contact test and drawing that every coloured kind shares.
    static float sphereContact(const Vec3& position, float originX, float originY, float originZ,
                               float dirX, float dirY, float dirZ, Obstacle** cursor);
    static void drawSphere(const Vec3& position, const float* diffuse);

private:
    Obstacle* nextObstacle;
};
