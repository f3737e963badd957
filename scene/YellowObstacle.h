#pragma once

#include "scene/Obstacle.h"

// A yellow sphere obstacle.
class YellowObstacle : public Obstacle {
public:
    YellowObstacle(float x, float y, float z);

    float intersect(float originX, float originY, float originZ, float dirX, float dirY, float dirZ,
                    Obstacle** cursor) override;
    void draw() override;

private:
    Vec3 position;
    float diffuse[4];
};
