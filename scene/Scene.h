#pragma once

class Camera;
class Light;
class Marble;
class TrackSurface;
class Obstacle;

// Everything that is drawn. Built once, with a current GL context; it holds no
// run state: the simulation moves its objects between frames.
class Scene {
public:
    Scene();

    // Draws one whole frame and swaps the buffers.
    void draw();
    // Viewport and the 60-degree perspective for a window of this size.
    void reshape(int width, int height);

    Camera* getCamera();
    Light* getLight();
    Marble* getMarble();
    TrackSurface* getTrackSurface();
    Obstacle* getObstacles();

private:
    Camera* camera;
    Light* light;
    Marble* marble;
    TrackSurface* trackSurface;
    Obstacle* obstacles; // head of the list, in order of increasing x
};
