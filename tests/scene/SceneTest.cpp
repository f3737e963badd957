#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cmath>
#include <string>
#include <vector>

#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Marble.h"
#include "scene/Obstacle.h"
#include "scene/Scene.h"
#include "scene/TrackSurface.h"
#include "support/GlRecorder.h"
#include "support/SurfaceBitmap.h"

namespace {

using glRecorder::callLine;

// Scenes are never deleted: keep every one made here reachable. Each is built
// in an empty directory, so the track is the untextured one whatever the
// working directory holds.
Scene* makeScene()
{
    static auto* made = new std::vector<Scene*>;
    SurfaceBitmapDir dir;
    made->push_back(new Scene());
    return made->back();
}

// What one object's draw issues, recorded on its own.
template <typename Draw> std::vector<std::string> callsOf(Draw draw)
{
    glRecorder::reset();
    draw();
    return glRecorder::callLines();
}

std::vector<std::string> obstacleDraw(std::vector<double> diffuse,
                                      const std::vector<double>& centre)
{
    diffuse.insert(diffuse.begin(), {GL_FRONT, GL_DIFFUSE});
    return {callLine("glMaterialfv", diffuse), callLine("glTranslatef", centre),
            callLine("glutSolidSphere", {0.5, 40, 40})};
}

void append(std::vector<std::string>& to, const std::vector<std::string>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

} // namespace

TEST(Scene, BuildsItsObjectsWithTheirStartingValues)
{
    Scene* scene = makeScene();

    const Vec3 eye = scene->getCamera()->getEye();
    const Vec3 center = scene->getCamera()->getCenter();
    EXPECT_EQ((std::vector<float>{eye.x, eye.y, eye.z}), (std::vector<float>{8, 0, -3}));
    EXPECT_EQ((std::vector<float>{center.x, center.y, center.z}), (std::vector<float>{0, 5, 1}));

    const Vec3 light = scene->getLight()->getPosition();
    EXPECT_EQ((std::vector<float>{light.x, light.y, light.z}), (std::vector<float>{-2, 8, 5}));
    const float* color = scene->getLight()->getColor();
    EXPECT_EQ((std::vector<float>(color, color + 4)), (std::vector<float>{0, 0, 0, 0}));

    float x, y, z;
    scene->getMarble()->getPosition(&x, &y, &z);
    EXPECT_EQ((std::vector<float>{x, y, z}), (std::vector<float>{0.5f, 5.5f, 1.0f}));

    EXPECT_NE(scene->getTrackSurface(), nullptr);

    // The list runs yellow, blue, red: by increasing x, the marble's direction.
    Obstacle* yellow = scene->getObstacles();
    ASSERT_NE(yellow, nullptr);
    Obstacle* blue = yellow->next();
    ASSERT_NE(blue, nullptr);
    Obstacle* red = blue->next();
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->next(), nullptr);
    EXPECT_EQ(callsOf([&] { yellow->draw(); }), obstacleDraw({1, 1, 0, 1}, {25, 2.75, 0.5}));
    EXPECT_EQ(callsOf([&] { blue->draw(); }), obstacleDraw({0, 0, 1, 1}, {50, 2.75, -4.5}));
    EXPECT_EQ(callsOf([&] { red->draw(); }), obstacleDraw({1, 0, 0, 1}, {135, -2.75, 1.5}));
}

TEST(Scene, ConstructionIssuesLightTextureThenFixedState)
{
    glRecorder::reset();
    makeScene();
    const std::vector<std::string> calls = glRecorder::callLines();

    std::vector<std::string> expected = {
        callLine("glLightfv", {GL_LIGHT0, GL_DIFFUSE, 0, 0, 0, 0}),
        callLine("glLightfv", {GL_LIGHT0, GL_SPECULAR, 0, 0, 0, 0}),
        callLine("glLightfv", {GL_LIGHT0, GL_POSITION, -2, 8, 5, 0}),
    };
    // Then the track surface makes its texture (here without an image to upload).
    append(expected,
           {
               callLine("glGenTextures", {1}),
               callLine("glBindTexture", {GL_TEXTURE_2D, 1}),
               callLine("glTexParameteri",
                        {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR}),
               callLine("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}),
               callLine("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT}),
               callLine("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT}),
               callLine("glTexEnvi", {GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}),
           });
    // Then the fixed state: the only capabilities the program ever enables
    // besides the track's texturing.
    append(expected, {
                         callLine("glClearColor", {0, 0, 0, 0}),
                         callLine("glEnable", {GL_DEPTH_TEST}),
                         callLine("glEnable", {GL_LIGHTING}),
                         callLine("glEnable", {GL_LIGHT0}),
                         callLine("glShadeModel", {GL_SMOOTH}),
                     });
    EXPECT_EQ(calls, expected);
}

TEST(Scene, FrameDrawsTrackMarbleAndObstaclesFromTheCameraMatrix)
{
    Scene* scene = makeScene();
    const std::vector<std::string> track = callsOf([&] { scene->getTrackSurface()->draw(); });
    const std::vector<std::string> marble = callsOf([&] { scene->getMarble()->draw(); });

    glRecorder::reset();
    scene->draw();

    std::vector<std::string> expected = {
        callLine("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}),
        callLine("glLoadIdentity"),
        callLine("gluLookAt", {8, 0, -3, 0, 5, 1, 0, 1, 0}),
    };
    append(expected, track);
    append(expected,
           {callLine("glPushMatrix"), callLine("glPushMatrix"), callLine("glPushMatrix")});
    append(expected, marble);
    expected.push_back(callLine("glPopMatrix"));
    append(expected, obstacleDraw({1, 1, 0, 1}, {25, 2.75, 0.5}));
    expected.push_back(callLine("glPopMatrix"));
    append(expected, obstacleDraw({0, 0, 1, 1}, {50, 2.75, -4.5}));
    expected.push_back(callLine("glPopMatrix"));
    append(expected, obstacleDraw({1, 0, 0, 1}, {135, -2.75, 1.5}));
    expected.push_back(callLine("glutSwapBuffers"));
    EXPECT_EQ(glRecorder::callLines(), expected);
}

TEST(Scene, DrawKeepsModelviewDepth)
{
    Scene* scene = makeScene();
    glRecorder::reset();
    const int before = glRecorder::modelviewDepth();
    scene->draw();
    scene->draw();
    EXPECT_EQ(glRecorder::modelviewDepth(), before);
    EXPECT_EQ(glRecorder::count("glPushMatrix"), 6);
    EXPECT_EQ(glRecorder::count("glPopMatrix"), 6);
}

TEST(Scene, ReshapeSetsViewportAndPerspective)
{
    Scene* scene = makeScene();
    glRecorder::reset();
    scene->reshape(1273, 970);
    EXPECT_EQ(glRecorder::callLines(), (std::vector<std::string>{
                                           callLine("glViewport", {0, 0, 1273, 970}),
                                           callLine("glMatrixMode", {GL_PROJECTION}),
                                           callLine("glLoadIdentity"),
                                           callLine("gluPerspective", {60, 1273.0 / 970.0, 1, 200}),
                                           callLine("glMatrixMode", {GL_MODELVIEW}),
                                       }));
    EXPECT_EQ(glRecorder::callsNamed("gluPerspective")[0].args[1], 1273.0 / 970.0);
}

TEST(Scene, ReshapeToZeroHeightPassesAnInfiniteAspect)
{
    Scene* scene = makeScene();
    glRecorder::reset();
    scene->reshape(640, 0);
    const auto perspective = glRecorder::callsNamed("gluPerspective");
    ASSERT_EQ(perspective.size(), 1u);
    EXPECT_TRUE(std::isinf(perspective[0].args[1]));
    EXPECT_GT(perspective[0].args[1], 0.0);
    EXPECT_EQ(glRecorder::calls().back().name, "glMatrixMode");
}

TEST(Light, BrightenDoesNotClampAndResendsOnlyTheColour)
{
    Light light(-2.0f, 8.0f, 5.0f, 0.0f, 0.0f, 0.0f);
    glRecorder::reset();
    light.brighten(0.75f, 0.75f, 0.75f);
    light.brighten(0.75f, 0.0f, -0.25f);
    const float* color = light.getColor();
    EXPECT_EQ((std::vector<float>(color, color + 4)), (std::vector<float>{1.5f, 0.75f, 0.5f, 0}));
    light.brighten(-2.0f, 0.0f, 0.0f);
    EXPECT_EQ(color[0], -0.5f);

    EXPECT_EQ(glRecorder::callLines().back(),
              callLine("glLightfv", {GL_LIGHT0, GL_SPECULAR, -0.5, 0.75, 0.5, 0}));
    const auto sent = glRecorder::callsNamed("glLightfv");
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(callLine(sent[2].name, sent[2].args),
              callLine("glLightfv", {GL_LIGHT0, GL_DIFFUSE, 1.5, 0.75, 0.5, 0}));
    for (size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(sent[i].args[1], i % 2 == 0 ? GL_DIFFUSE : GL_SPECULAR);
}

TEST(Camera, TranslateThenMoveEyeBackLeavesTheEyeAndMovesTheCentre)
{
    Camera camera(8.0f, 0.0f, -3.0f, 0.0f, 5.0f, 1.0f);
    camera.translate(0.5f, -0.25f, 2.0f);
    camera.moveEye(-0.5f, 0.25f, -2.0f);
    const Vec3 eye = camera.getEye();
    const Vec3 center = camera.getCenter();
    EXPECT_EQ((std::vector<float>{eye.x, eye.y, eye.z}), (std::vector<float>{8, 0, -3}));
    EXPECT_EQ((std::vector<float>{center.x, center.y, center.z}),
              (std::vector<float>{0.5f, 4.75f, 3}));

    glRecorder::reset();
    camera.apply();
    EXPECT_EQ(glRecorder::callLines(),
              (std::vector<std::string>{callLine("gluLookAt", {8, 0, -3, 0.5, 4.75, 3, 0, 1, 0})}));
}
