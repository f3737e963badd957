#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cstring>
#include <string>
#include <vector>

#include "scene/TrackSurface.h"
#include "support/GlRecorder.h"
#include "support/SurfaceBitmap.h"

using glRecorder::callLine;

// With and without a readable surface.bmp: what construction uploads, and what
// every frame draws. Without an image the strip is drawn white, lit and untextured.
TEST(TrackSurface, UploadsTheImageOnceAndDrawsOneStripOf198Elements)
{
    const int width = 3, height = 2; // rows of 9 bytes: unpadded only with alignment 1
    const std::vector<unsigned char> pixels = distinctPixels(width, height);
    for (bool textured : {false, true}) {
        SCOPED_TRACE(textured ? "with an image" : "without an image");
        SurfaceBitmapDir dir;
        ASSERT_TRUE(dir.ready());
        if (textured) {
            ASSERT_TRUE(dir.writeBitmap(width, height, pixels));
        }
        glRecorder::reset();
        static auto* kept = new std::vector<TrackSurface*>; // for good, like the game's
        kept->push_back(new TrackSurface());

        std::vector<std::string> expected = {callLine("glGenTextures", {1}),
                                             callLine("glBindTexture", {GL_TEXTURE_2D, 1})};
        if (textured)
            expected.insert(expected.end(),
                            {callLine("glPixelStorei", {GL_UNPACK_ALIGNMENT, 1}),
                             callLine("glTexImage2D", {GL_TEXTURE_2D, 0, GL_RGB, width, height, 0,
                                                       GL_RGB, GL_UNSIGNED_BYTE}),
                             callLine("gluBuild2DMipmaps", {GL_TEXTURE_2D, GL_RGB, width, height,
                                                            GL_RGB, GL_UNSIGNED_BYTE})});
        for (const auto& p :
             {std::pair<double, double>{GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR},
              {GL_TEXTURE_MAG_FILTER, GL_LINEAR},
              {GL_TEXTURE_WRAP_S, GL_REPEAT},
              {GL_TEXTURE_WRAP_T, GL_REPEAT}})
            expected.push_back(callLine("glTexParameteri", {GL_TEXTURE_2D, p.first, p.second}));
        expected.push_back(
            callLine("glTexEnvi", {GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}));
        EXPECT_EQ(expected, glRecorder::callLines());
        for (const char* upload : {"glTexImage2D", "gluBuild2DMipmaps"})
            for (const GlCall& c : glRecorder::callsNamed(upload))
                EXPECT_EQ(0, std::memcmp(c.pointer, pixels.data(), pixels.size())) << upload;

        glRecorder::reset();
        kept->back()->draw();
        expected = {callLine("glMaterialfv", {GL_FRONT, GL_DIFFUSE, 1, 1, 1, 1})};
        if (textured)
            expected.insert(expected.end(), {callLine("glEnable", {GL_TEXTURE_2D}),
                                             callLine("glBindTexture", {GL_TEXTURE_2D, 1})});
        expected.insert(expected.end(), {callLine("glEnableClientState", {GL_VERTEX_ARRAY}),
                                         callLine("glEnableClientState", {GL_NORMAL_ARRAY})});
        if (textured)
            expected.push_back(callLine("glEnableClientState", {GL_TEXTURE_COORD_ARRAY}));
        expected.insert(expected.end(), {callLine("glVertexPointer", {3, GL_FLOAT, 0}),
                                         callLine("glNormalPointer", {GL_FLOAT, 0})});
        if (textured)
            expected.push_back(callLine("glTexCoordPointer", {2, GL_FLOAT, 0}));
        expected.push_back(callLine("glBegin", {GL_TRIANGLE_STRIP}));
        for (int i = 0; i < 198; ++i)
            expected.push_back(callLine("glArrayElement", {double(i)}));
        expected.insert(expected.end(),
                        {callLine("glEnd"), callLine("glDisableClientState", {GL_VERTEX_ARRAY}),
                         callLine("glDisableClientState", {GL_NORMAL_ARRAY})});
        if (textured)
            expected.insert(expected.end(),
                            {callLine("glDisableClientState", {GL_TEXTURE_COORD_ARRAY}),
                             callLine("glDisable", {GL_TEXTURE_2D})});
        EXPECT_EQ(expected, glRecorder::callLines());

        // The arrays are the track tables themselves.
        const std::vector<std::pair<const char*, const float*>> arrays = {
            {"glVertexPointer", trackVertices},
            {"glNormalPointer", trackNormals},
            {"glTexCoordPointer", textured ? trackTexCoords : nullptr}};
        for (const auto& a : arrays)
            for (const GlCall& c : glRecorder::callsNamed(a.first))
                EXPECT_EQ(a.second, c.pointer) << a.first;
    }
}
