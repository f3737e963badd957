#include "sim/Simulation.h"

#include <GL/freeglut.h>

#include <cmath>
#include <utility>

#include "input/ControlState.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Marble.h"
#include "scene/Obstacle.h"
#include "scene/Scene.h"
#include "scene/TrackSurface.h"

// Phase lengths, in ticks.
static const int introTicks = 400;
static const int finishedTicks = 400;
static const int fallTicks = 200;
static const int crashedTicks = 600;

// Where every run starts.
static const Vec3 startEye = {8.0f, 0.0f, -3.0f};
static const Vec3 startCenter = {0.0f, 5.0f, 1.0f};
static const Vec3 startMarble = {0.5f, 5.5f, 1.0f};
static const float startSpeed = 0.01f;

// Per-tick steps of the intro and the fade-outs.
static const Vec3 introEyeRise = {0.0f, 0.02f, 0.02f};
static const float lightStep = 0.0025f;

// Rolling physics. Expressions are evaluated in double from the float state and
// rounded to float when stored: these constants are doubles on purpose.
static const double friction = 0.9998;
static const double brakeFactor = 0.995;
static const double endLineX = 148.1;
static const double restSpeed = 0.0001;
static const double steerGain = 5000.0;
static const double slopeGain = 0.3;

// The crash fall.
static const double fallGravity = 0.02;
static const double fallScale = 0.0025;

Simulation::Simulation(Scene* scene, ControlState* controls)
    : camera(scene->getCamera()), light(scene->getLight()), marble(scene->getMarble()),
      trackSurface(scene->getTrackSurface()), currentObstacle(scene->getObstacles()),
      controls(controls), obstacles(currentObstacle),
      // The first segment is level; a crash there before any other segment has
      // been entered falls with this slope.
      slopeAngle(0.0f), finished(false), crashed(false), intro(true), phaseTicks(0)
{
}

void Simulation::tick()
{
    if (intro)
        introTick();
    else if (finished)
        finishedTick();
    else if (crashed)
        crashedTick();
    else
        rollingStep();
    glutPostRedisplay();
}

void Simulation::introTick()
{
    if (phaseTicks == 0) {
        phaseTicks = 1;
        // Fades in and out do not cancel exactly (399 steps up, 400 down), so
        // every run starts from black rather than from what the last one left.
        light->setColor(0.0f, 0.0f, 0.0f);
        camera->set(startEye.x, startEye.y, startEye.z, startCenter.x, startCenter.y,
                    startCenter.z);
        marble->setPosition(startMarble.x, startMarble.y, startMarble.z);
        resetToTrackStart();
    } else {
        phaseTicks = phaseTicks + 1;
        camera->moveEye(introEyeRise.x, introEyeRise.y, introEyeRise.z);
        light->brighten(lightStep, lightStep, lightStep);
    }
    if (phaseTicks == introTicks) {
        phaseTicks = 0;
        intro = false;
    }
}

void Simulation::resetToTrackStart()
{
    trackCursor = nullptr;
    for (Vec3& corner : quad)
        trackSurface->nextTrackVertex(trackCursor, corner.x, corner.y, corner.z);
    sideEdge0 = quad[2] - quad[0];
    sideEdge1 = quad[3] - quad[1];
    leadingEdge = quad[3] - quad[2];
    marble->getPosition(&position.x, &position.y, &position.z);
    currentObstacle = obstacles;
    speed = startSpeed;
}

void Simulation::finishedTick()
{
    phaseTicks = phaseTicks + 1;
    light->brighten(-lightStep, -lightStep, -lightStep);
    if (phaseTicks == finishedTicks) {
        phaseTicks = 0;
        finished = false;
        intro = true;
    }
}

void Simulation::crashedTick()
{
    if (phaseTicks < fallTicks) {
        // The marble falls on along its last heading; speed, slope and heading
        // are as the crash left them.
        phaseTicks = phaseTicks + 1;
        const double n = phaseTicks;
        const double a = n * speed;
        const float fx = static_cast<float>(std::cos(double(slopeAngle)) * a);
        const float fy = static_cast<float>(std::sin(double(slopeAngle)) * double(float(a)) -
                                            fallGravity * n * n);
        const double fz = double(fx) * heading.z / heading.x;
        marble->move(static_cast<float>(fx * fallScale), static_cast<float>(fy * fallScale),
                     static_cast<float>(fz * fallScale));
    } else if (phaseTicks < crashedTicks) {
        phaseTicks = phaseTicks + 1;
        light->brighten(-lightStep, -lightStep, -lightStep);
    }
    if (phaseTicks == crashedTicks) {
        phaseTicks = 0;
        crashed = false;
        intro = true;
    }
}

void Simulation::rollingStep()
{
    float steerFactor = controls->getSteerZ();
    speed = static_cast<float>(speed * friction);
    if (controls->getBrake() != 0)
        speed = static_cast<float>(speed * brakeFactor);
    camera->moveEye(controls->getCameraNudgeX(), controls->getCameraNudgeY(),
                    controls->getCameraNudgeZ());

    float tickFraction = 0.0f;
    while (speed >= 0.0f && tickFraction < 1.0f) {
        // 1. End test: past the end line, or come to rest.
        if (position.x > endLineX || speed < restSpeed) {
            finished = true;
            tickFraction = 1.0f;
            continue;
        }

        // 2. What is left of this tick's distance.
        const float remaining = static_cast<float>(speed * (1.0 - tickFraction));

        // 3. Heading along the slope of the segment's left edge.
        const double L =
            std::sqrt(double(sideEdge0.x) * sideEdge0.x + double(sideEdge0.y) * sideEdge0.y);
        heading =
            Vec3{static_cast<float>(sideEdge0.x / L), static_cast<float>(sideEdge0.y / L), 0.0f};

        // 4. Steering. The scaled factor is kept, so it compounds over the
        //    iterations of one tick: that sharp turn is part of the game's feel.
        if (steerFactor != 0.0f) {
            steerFactor = static_cast<float>(steerFactor * (speed * steerGain));
            const double N =
                std::sqrt(double(heading.x) * heading.x + double(heading.y) * heading.y +
                          double(steerFactor) * steerFactor);
            heading = Vec3{static_cast<float>(heading.x / N), static_cast<float>(heading.y / N),
                           static_cast<float>(steerFactor / N)};
        }

        // 5. Distance to the end of the segment.
        const float edgeDistance = crossingDistance(quad[2], leadingEdge, position, heading);
        float step = edgeDistance;
        if (remaining < edgeDistance)
            step = remaining;

        // 6. The obstacle under the cursor; it moves the cursor on once passed.
        const bool obstacleAsked = currentObstacle != nullptr;
        float obstacleDistance = 0.0f;
        if (obstacleAsked) {
            obstacleDistance =
                currentObstacle->intersect(position.x, position.y, position.z, heading.x, heading.y,
                                           heading.z, &currentObstacle);
            if (obstacleDistance < step)
                step = obstacleDistance;
        }

        // 7. Side test: between the side planes one lies ahead and one behind.
        //    Infinities and NaN are compared like any other value.
        const float side0 = crossingDistance(quad[0], sideEdge0, position, heading);
        const float side1 = crossingDistance(quad[1], sideEdge1, position, heading);
        if ((side0 > 0.0f && side1 > 0.0f) || !(side0 >= 0.0f || side1 >= 0.0f)) {
            crashed = true;
            tickFraction = 1.0f;
            continue;
        }

        // 8. Move marble, camera and our copy of the position by the same step.
        tickFraction = static_cast<float>(tickFraction + double(step) / speed);
        if (obstacleAsked && step == obstacleDistance)
            speed = 0.0f;
        const Vec3 d = {static_cast<float>(double(step) * heading.x),
                        static_cast<float>(double(step) * heading.y),
                        static_cast<float>(double(step) * heading.z)};
        position.x += d.x;
        position.y += d.y;
        position.z += d.z;
        camera->translate(d.x, d.y, d.z);
        marble->move(d.x, d.y, d.z);
        if (step == edgeDistance)
            enterNextSegment();
    }
}

void Simulation::enterNextSegment()
{
    quad[0] = quad[2];
    quad[1] = quad[3];
    trackSurface->nextTrackVertex(trackCursor, quad[2].x, quad[2].y, quad[2].z);
    trackSurface->nextTrackVertex(trackCursor, quad[3].x, quad[3].y, quad[3].z);
    sideEdge0 = quad[2] - quad[0];
    sideEdge1 = quad[3] - quad[1];
    leadingEdge = quad[3] - quad[2];
    // Downhill slopes are negative: entering one speeds the marble up.
    slopeAngle = static_cast<float>(std::atan(double(sideEdge0.y) / sideEdge0.x));
    speed = static_cast<float>(speed * (1.0 - slopeAngle * slopeGain));
}

float Simulation::crossingDistance(const Vec3& lineStart, const Vec3& lineDirection,
                                   const Vec3& origin, const Vec3& heading)
{
    // lineStart + s * lineDirection + t * up = origin + u * heading, solved for u
    // by Gaussian elimination with partial pivoting; no zero-pivot test, so a
    // heading parallel to the plane yields a signed infinity (or NaN on it).
    float m[3][4] = {
        {lineDirection.x, 0.0f, -1.0f * heading.x, origin.x - lineStart.x},
        {lineDirection.y, 1.0f, -1.0f * heading.y, origin.y - lineStart.y},
        {lineDirection.z, 0.0f, -1.0f * heading.z, origin.z - lineStart.z},
    };
    for (int p = 0; p < 3; ++p) {
        int pivot = p;
        for (int q = p + 1; q < 3; ++q)
            if (std::fabs(m[q][p]) > std::fabs(m[pivot][p]))
                pivot = q;
        for (int r = p; r < 4; ++r)
            std::swap(m[p][r], m[pivot][r]);
        // Right to left, so m[q][p] is overwritten last and every column uses it unchanged.
        for (int q = p + 1; q < 3; ++q)
            for (int r = 3; r >= p; --r)
                m[q][r] = static_cast<float>(m[q][r] - (double(m[p][r]) * m[q][p]) / m[p][p]);
    }
    return m[2][3] / m[2][2];
}
