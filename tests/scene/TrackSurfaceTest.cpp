#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cstring>

#include "scene/TrackSurface.h"
#include "support/GlRecorder.h"
#include "support/SurfaceBitmap.h"

namespace {

// Track surfaces keep their image for good: hold on to every one made here.
TrackSurface* keep(TrackSurface* surface)
{
    // Never destroyed, so what it holds stays reachable at exit.
    static auto* made = new std::vector<TrackSurface*>;
    made->push_back(surface);
    return surface;
}

std::string call(const std::string& name, const std::vector<double>& args = {})
{
    return glRecorder::callLine(name, args);
}

const int width = 3;
const int height = 2;

std::vector<std::string> expectedConstruction(bool withImage)
{
    std::vector<std::string> expected = {call("glGenTextures", {1}),
                                         call("glBindTexture", {GL_TEXTURE_2D, 1})};
    if (withImage) {
        expected.push_back(call("glPixelStorei", {GL_UNPACK_ALIGNMENT, 1}));
        expected.push_back(call("glTexImage2D", {GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB,
                                                 GL_UNSIGNED_BYTE}));
        expected.push_back(call("gluBuild2DMipmaps",
                                {GL_TEXTURE_2D, GL_RGB, width, height, GL_RGB, GL_UNSIGNED_BYTE}));
    }
    for (std::vector<double> param :
         {std::vector<double>{GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR},
          {GL_TEXTURE_MAG_FILTER, GL_LINEAR},
          {GL_TEXTURE_WRAP_S, GL_REPEAT},
          {GL_TEXTURE_WRAP_T, GL_REPEAT}})
        expected.push_back(call("glTexParameteri", {GL_TEXTURE_2D, param[0], param[1]}));
    expected.push_back(call("glTexEnvi", {GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}));
    return expected;
}

std::vector<std::string> expectedDraw(bool textured)
{
    std::vector<std::string> expected = {call("glMaterialfv", {GL_FRONT, GL_DIFFUSE, 1, 1, 1, 1})};
    if (textured) {
        expected.push_back(call("glEnable", {GL_TEXTURE_2D}));
        expected.push_back(call("glBindTexture", {GL_TEXTURE_2D, 1}));
    }
    expected.push_back(call("glEnableClientState", {GL_VERTEX_ARRAY}));
    expected.push_back(call("glEnableClientState", {GL_NORMAL_ARRAY}));
    if (textured)
        expected.push_back(call("glEnableClientState", {GL_TEXTURE_COORD_ARRAY}));
    expected.push_back(call("glVertexPointer", {3, GL_FLOAT, 0}));
    expected.push_back(call("glNormalPointer", {GL_FLOAT, 0}));
    if (textured)
        expected.push_back(call("glTexCoordPointer", {2, GL_FLOAT, 0}));
    expected.push_back(call("glBegin", {GL_TRIANGLE_STRIP}));
    for (int i = 0; i < 198; ++i)
        expected.push_back(call("glArrayElement", {double(i)}));
    expected.push_back(call("glEnd"));
    expected.push_back(call("glDisableClientState", {GL_VERTEX_ARRAY}));
    expected.push_back(call("glDisableClientState", {GL_NORMAL_ARRAY}));
    if (textured) {
        expected.push_back(call("glDisableClientState", {GL_TEXTURE_COORD_ARRAY}));
        expected.push_back(call("glDisable", {GL_TEXTURE_2D}));
    }
    return expected;
}

void expectArraysPointAtTheTables(bool textured)
{
    ASSERT_EQ(glRecorder::count("glVertexPointer"), 1);
    EXPECT_EQ(glRecorder::callsNamed("glVertexPointer")[0].pointer, trackVertices);
    ASSERT_EQ(glRecorder::count("glNormalPointer"), 1);
    EXPECT_EQ(glRecorder::callsNamed("glNormalPointer")[0].pointer, trackNormals);
    ASSERT_EQ(glRecorder::count("glTexCoordPointer"), textured ? 1 : 0);
    if (textured) {
        EXPECT_EQ(glRecorder::callsNamed("glTexCoordPointer")[0].pointer, trackTexCoords);
    }
}

void expectStateRestored()
{
    EXPECT_FALSE(glRecorder::isEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glRecorder::isClientStateEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glRecorder::isClientStateEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glRecorder::isClientStateEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(glRecorder::modelviewDepth(), 0);
}

} // namespace

TEST(TrackSurface, WithoutAnImageMakesTheTextureObjectOnly)
{
    SurfaceBitmapDir dir; // empty: there is no surface.bmp to read
    ASSERT_TRUE(dir.ready());
    glRecorder::reset();
    keep(new TrackSurface());
    EXPECT_EQ(glRecorder::callLines(), expectedConstruction(false));
}

TEST(TrackSurface, WithoutAnImageDrawsTheStripWhiteAndUntextured)
{
    SurfaceBitmapDir dir;
    ASSERT_TRUE(dir.ready());
    TrackSurface* surface = keep(new TrackSurface());
    for (int frame = 0; frame < 2; ++frame) {
        glRecorder::reset();
        surface->draw();
        EXPECT_EQ(glRecorder::callLines(), expectedDraw(false));
        expectArraysPointAtTheTables(false);
        expectStateRestored();
    }
}

class TexturedTrackSurface : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.ready());
        ASSERT_TRUE(dir.writeBitmap(width, height, pixels));
        glRecorder::reset();
        surface = keep(new TrackSurface());
    }

    SurfaceBitmapDir dir;
    std::vector<unsigned char> pixels = distinctPixels(width, height);
    TrackSurface* surface = nullptr;
};

TEST_F(TexturedTrackSurface, UploadsTheImageOnceWithMipmaps)
{
    EXPECT_EQ(glRecorder::callLines(), expectedConstruction(true));

    // Both uploads read the same decoded pixels, which are the bitmap's.
    const auto level0 = glRecorder::callsNamed("glTexImage2D");
    const auto mipmaps = glRecorder::callsNamed("gluBuild2DMipmaps");
    ASSERT_EQ(level0.size(), 1u);
    ASSERT_EQ(mipmaps.size(), 1u);
    ASSERT_NE(level0[0].pointer, nullptr);
    EXPECT_EQ(level0[0].pointer, mipmaps[0].pointer);
    EXPECT_EQ(0, std::memcmp(level0[0].pointer, pixels.data(), pixels.size()));
}

TEST_F(TexturedTrackSurface, DrawsOneTexturedStripOf198Elements)
{
    for (int frame = 0; frame < 2; ++frame) {
        glRecorder::reset();
        surface->draw();
        EXPECT_EQ(glRecorder::callLines(), expectedDraw(true));
        expectArraysPointAtTheTables(true);
        expectStateRestored();
    }
}
