#include "scene/Scene.h"

#include <GL/freeglut.h>

#include "scene/BlueObstacle.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Marble.h"
#include "scene/RedObstacle.h"
#include "scene/TrackSurface.h"
#include "scene/YellowObstacle.h"

Scene::Scene()
{
    camera = new Camera(8.0f, 0.0f, -3.0f, 0.0f, 5.0f, 1.0f);
    light = new Light(-2.0f, 8.0f, 5.0f, 0.0f, 0.0f, 0.0f);
    marble = new Marble(0.5f, 5.5f, 1.0f);
    trackSurface = new TrackSurface();

    // Built back to front so the list runs yellow, blue, red: increasing x.
    obstacles = new RedObstacle(135.0f, -2.75f, 1.5f);
    Obstacle::pushObstacle(&obstacles, new BlueObstacle(50.0f, 2.75f, -4.5f));
    Obstacle::pushObstacle(&obstacles, new YellowObstacle(25.0f, 2.75f, 0.5f));

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glShadeModel(GL_SMOOTH);
}

void Scene::draw()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    camera->apply();
    trackSurface->draw();

    // None of the objects saves the matrix: push one copy of the camera matrix
    // per obstacle, let the marble translate the top one, and give each obstacle
    // a fresh copy by popping away the previous object's translation.
    for (Obstacle* o = obstacles; o; o = o->next())
        glPushMatrix();
    marble->draw();
    for (Obstacle* o = obstacles; o; o = o->next()) {
        glPopMatrix();
        o->draw();
    }

    glutSwapBuffers();
}

void Scene::reshape(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // In floating point: a height of 0 gives an infinite aspect, not a crash.
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    gluPerspective(60.0, aspect, 1.0, 200.0);
    glMatrixMode(GL_MODELVIEW);
}

Camera* Scene::getCamera()
{
    return camera;
}

Light* Scene::getLight()
{
    return light;
}

Marble* Scene::getMarble()
{
    return marble;
}

TrackSurface* Scene::getTrackSurface()
{
    return trackSurface;
}

Obstacle* Scene::getObstacles()
{
    return obstacles;
}
