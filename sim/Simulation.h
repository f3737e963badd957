#pragma once

#include "scene/TrackTables.h"
#include "scene/Vec3.h"

class Camera;
class ControlState;
class Light;
class Marble;
class Obstacle;
class Scene;
class TrackSurface;

// The marble run: one tick per idle callback, through intro, rolling, and a
// crash fall or a finish, then a new run by itself.
class Simulation {
public:
    Simulation(Scene* scene, ControlState* controls);

    void tick();

    // Signed distance from origin along heading to the vertical plane through the
    // edge lineStart + s * lineDirection; +-infinity when parallel, NaN when on it.
    static float crossingDistance(const Vec3& lineStart, const Vec3& lineDirection,
                                  const Vec3& origin, const Vec3& heading);

    // Read-only views of the run, for tests and tools.
    bool isIntro() const { return intro; }
    bool isFinished() const { return finished; }
    bool isCrashed() const { return crashed; }
    int getPhaseTicks() const { return phaseTicks; }
    float getSpeed() const { return speed; }
    float getSlopeAngle() const { return slopeAngle; }
    Vec3 getPosition() const { return position; }
    Vec3 getHeading() const { return heading; }
    const Vec3* getQuad() const { return quad; }
    TrackCursor getTrackCursor() const { return trackCursor; }
    Obstacle* getCurrentObstacle() const { return currentObstacle; }

private:
    void introTick();
    void rollingStep();
    void finishedTick();
    void crashedTick();
    void resetToTrackStart();
    void enterNextSegment();

    Camera* camera;
    Light* light;
    Marble* marble;
    TrackSurface* trackSurface;
    Obstacle* currentObstacle;
    ControlState* controls;
    Obstacle* obstacles;
    TrackCursor trackCursor = nullptr;
    Vec3 quad[4] = {};
    Vec3 sideEdge0 = {};
    Vec3 sideEdge1 = {};
    Vec3 leadingEdge = {};
    Vec3 heading = {};
    Vec3 position = {};
    float slopeAngle;
    float speed = 0.0f;
    bool finished;
    bool crashed;
    bool intro;
    int phaseTicks;
};
