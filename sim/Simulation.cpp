#include "sim/Simulation.h"

#include <GL/freeglut.h>

#include "scene/Scene.h"

Simulation::Simulation(Scene* scene, ControlState* controls)
    : camera(nullptr), light(nullptr), marble(nullptr), trackSurface(nullptr),
      currentObstacle(nullptr), controls(controls), obstacles(nullptr), slopeAngle(0.0f),
      finished(false), crashed(false), intro(true), phaseTicks(0)
{
    (void)scene;
}

void Simulation::tick()
{
    glutPostRedisplay();
}

float Simulation::crossingDistance(const Vec3&, const Vec3&, const Vec3&, const Vec3&)
{
    return 0.0f;
}
