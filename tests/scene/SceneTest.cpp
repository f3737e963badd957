#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <string>
#include <vector>

#include "scene/Scene.h"
#include "scene/TrackSurface.h"
#include "support/GlRecorder.h"
#include "support/TempDir.h"

using glRecorder::callLine;

namespace {

std::vector<std::string> sphere(std::vector<double> diffuse, const std::vector<double>& centre)
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

// Built in an empty folder, so the track is the untextured one.
TEST(Scene, BuildsItsObjectsDrawsAFrameAndReshapes)
{
    glRecorder::reset();
    TempDir empty;
    static Scene* scene = new Scene(); // kept for good, like the game's
    const std::vector<std::string> built = glRecorder::callLines();
    // The light, black and directional; the track's texture object, as the track's own
    // test pins it; the fixed state.
    glRecorder::reset();
    static TrackSurface* track = new TrackSurface();
    std::vector<std::string> expected = {
        callLine("glLightfv", {GL_LIGHT0, GL_DIFFUSE, 0, 0, 0, 0}),
        callLine("glLightfv", {GL_LIGHT0, GL_SPECULAR, 0, 0, 0, 0}),
        callLine("glLightfv", {GL_LIGHT0, GL_POSITION, -2, 8, 5, 0}),
    };
    append(expected, glRecorder::callLines());
    append(expected, {callLine("glClearColor", {0, 0, 0, 0}), callLine("glEnable", {GL_DEPTH_TEST}),
                      callLine("glEnable", {GL_LIGHTING}), callLine("glEnable", {GL_LIGHT0}),
                      callLine("glShadeModel", {GL_SMOOTH})});
    EXPECT_EQ(expected, built);

    glRecorder::reset();
    track->draw();
    const std::vector<std::string> strip = glRecorder::callLines();

    // One frame: the camera, the track, then one pushed copy of the camera matrix
    // per obstacle; the marble translates the top one and each obstacle gets a
    // fresh copy. The list runs yellow, blue, red: by increasing x.
    glRecorder::reset();
    scene->draw();
    expected = {callLine("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}),
                callLine("glLoadIdentity"), callLine("gluLookAt", {8, 0, -3, 0, 5, 1, 0, 1, 0})};
    append(expected, strip);
    append(expected, {callLine("glPushMatrix"), callLine("glPushMatrix"), callLine("glPushMatrix"),
                      callLine("glMaterialfv", {GL_FRONT, GL_SPECULAR, 1, 1, 1, 1}),
                      callLine("glMaterialfv", {GL_FRONT, GL_SHININESS, 80})});
    append(expected, sphere({0.8f, 0, 0.6f, 1}, {0.5, 5.5, 1}));
    expected.push_back(callLine("glPopMatrix"));
    append(expected, sphere({1, 1, 0, 1}, {25, 2.75, 0.5}));
    expected.push_back(callLine("glPopMatrix"));
    append(expected, sphere({0, 0, 1, 1}, {50, 2.75, -4.5}));
    expected.push_back(callLine("glPopMatrix"));
    append(expected, sphere({1, 0, 0, 1}, {135, -2.75, 1.5}));
    expected.push_back(callLine("glutSwapBuffers"));
    EXPECT_EQ(expected, glRecorder::callLines());

    // Reshape sets viewport and perspective. The aspect is a floating-point
    // division: a height of 0 makes it infinite.
    for (int height : {970, 0}) {
        glRecorder::reset();
        scene->reshape(1273, height);
        const double aspect = 1273.0 / height;
        EXPECT_EQ(glRecorder::callLines(),
                  (std::vector<std::string>{callLine("glViewport", {0, 0, 1273, double(height)}),
                                            callLine("glMatrixMode", {GL_PROJECTION}),
                                            callLine("glLoadIdentity"),
                                            callLine("gluPerspective", {60, aspect, 1, 200}),
                                            callLine("glMatrixMode", {GL_MODELVIEW})}));
        EXPECT_EQ(aspect, glRecorder::callsNamed("gluPerspective")[0].args[1]);
    }
}
