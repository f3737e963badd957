#include <gtest/gtest.h>

#include "scene/Scene.h"
#include "support/GlRecorder.h"

TEST(Scene, DrawKeepsModelviewDepth)
{
    glRecorder::reset();
    static Scene* scene = new Scene();
    const int before = glRecorder::modelviewDepth();
    scene->draw();
    EXPECT_EQ(before, glRecorder::modelviewDepth());
}
