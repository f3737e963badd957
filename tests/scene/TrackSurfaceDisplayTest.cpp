#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "image/BmpLoader.h"
#include "scene/TrackSurface.h"
#include "support/TempDir.h"
#include "support/TestWindow.h"

// The shipped texture against real Mesa: what lands in the texture is the
// picture, texel for texel, and drawing the strip raises no GL error.
TEST(TrackSurfaceDisplay, ShippedTextureLandsTexelForTexel)
{
    openTestWindow("track surface");

    TempDir back; // only to come back to the current directory afterwards
    ASSERT_EQ(chdir(MARBLE_ASSETS_DIR), 0);
    RgbImage* image = loadBmpImage("surface.bmp");
    ASSERT_NE(image, nullptr) << "the shipped texture does not load";
    const std::vector<unsigned char> expected(image->data, image->data + size_t(image->width) *
                                                                             image->height * 3);
    const int width = image->width;
    std::free(image->data);
    std::free(image);

    static TrackSurface* surface = new TrackSurface(); // kept, like the game's
    GLint texWidth = 0, texHeight = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texHeight);
    std::vector<unsigned char> texels(size_t(texWidth) * texHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(width, texWidth); // sides of powers of two: level 0 is the picture unscaled
    EXPECT_EQ(expected, texels);

    surface->draw();
    glFinish();
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}
