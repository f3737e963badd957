#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cstring>
#include <string>
#include <vector>

#include "scene/TrackSurface.h"
#include "support/BmpBuilder.h"
#include "support/GlRecorder.h"
#include "support/TempDir.h"

using glRecorder::callLine;

// With and without a readable surface.bmp: what construction uploads, and what
// every frame draws. Without an image the strip is drawn white, lit and untextured.
TEST(TrackSurface, UploadsTheImageOnceAndDrawsOneStripOf198Elements)
{
    // 3 x 2 pixels, every byte different: rows of 9 bytes, unpadded only with alignment 1.
    BmpBuilder bitmap;
    bitmap.width = 3;
    bitmap.height = 2;
    std::vector<uint32_t> values;
    std::vector<unsigned char> rgb;
    for (uint32_t i = 0; i < 6; ++i) {
        values.push_back(0x112233 + 0x1a2b3c * i);
        rgb.insert(rgb.end(),
                   {uint8_t(values[i] >> 16), uint8_t(values[i] >> 8), uint8_t(values[i])});
    }
    bitmap.pixels = BmpBuilder::storeRows(3, 2, 24, values);

    for (bool textured : {false, true}) {
        SCOPED_TRACE(textured ? "with an image" : "without an image");
        TempDir dir;
        ASSERT_TRUE(!textured || !dir.write("surface.bmp", bitmap.build()).empty());
        glRecorder::reset();
        static auto* kept = new std::vector<TrackSurface*>; // for good, like the game's
        kept->push_back(new TrackSurface());

        std::vector<std::string> expected;
        const auto add = [&](bool when, std::vector<std::string> lines) {
            if (when)
                expected.insert(expected.end(), lines.begin(), lines.end());
        };
        add(true, {callLine("glGenTextures", {1}), callLine("glBindTexture", {GL_TEXTURE_2D, 1})});
        add(textured, {callLine("glPixelStorei", {GL_UNPACK_ALIGNMENT, 1}),
                       callLine("glTexImage2D",
                                {GL_TEXTURE_2D, 0, GL_RGB, 3, 2, 0, GL_RGB, GL_UNSIGNED_BYTE}),
                       callLine("gluBuild2DMipmaps",
                                {GL_TEXTURE_2D, GL_RGB, 3, 2, GL_RGB, GL_UNSIGNED_BYTE})});
        add(true, {callLine("glTexParameteri",
                            {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR}),
                   callLine("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}),
                   callLine("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT}),
                   callLine("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT}),
                   callLine("glTexEnvi", {GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE})});
        EXPECT_EQ(expected, glRecorder::callLines());
        for (const char* upload : {"glTexImage2D", "gluBuild2DMipmaps"})
            for (const GlCall& c : glRecorder::callsNamed(upload))
                EXPECT_EQ(0, std::memcmp(c.pointer, rgb.data(), rgb.size())) << upload;

        glRecorder::reset();
        kept->back()->draw();
        expected.clear();
        add(true, {callLine("glMaterialfv", {GL_FRONT, GL_DIFFUSE, 1, 1, 1, 1})});
        add(textured,
            {callLine("glEnable", {GL_TEXTURE_2D}), callLine("glBindTexture", {GL_TEXTURE_2D, 1})});
        add(true, {callLine("glEnableClientState", {GL_VERTEX_ARRAY}),
                   callLine("glEnableClientState", {GL_NORMAL_ARRAY})});
        add(textured, {callLine("glEnableClientState", {GL_TEXTURE_COORD_ARRAY})});
        add(true, {callLine("glVertexPointer", {3, GL_FLOAT, 0}),
                   callLine("glNormalPointer", {GL_FLOAT, 0})});
        add(textured, {callLine("glTexCoordPointer", {2, GL_FLOAT, 0})});
        add(true, {callLine("glBegin", {GL_TRIANGLE_STRIP})});
        for (int i = 0; i < 198; ++i)
            add(true, {callLine("glArrayElement", {double(i)})});
        add(true, {callLine("glEnd"), callLine("glDisableClientState", {GL_VERTEX_ARRAY}),
                   callLine("glDisableClientState", {GL_NORMAL_ARRAY})});
        add(textured, {callLine("glDisableClientState", {GL_TEXTURE_COORD_ARRAY}),
                       callLine("glDisable", {GL_TEXTURE_2D})});
        EXPECT_EQ(expected, glRecorder::callLines());

        // The arrays are the track tables themselves.
        for (const auto& a : {std::make_pair("glVertexPointer", trackVertices),
                              std::make_pair("glNormalPointer", trackNormals),
                              std::make_pair("glTexCoordPointer", trackTexCoords)})
            for (const GlCall& c : glRecorder::callsNamed(a.first))
                EXPECT_EQ(a.second, c.pointer) << a.first;
    }
}
