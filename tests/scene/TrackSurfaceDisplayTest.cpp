#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <vector>

#include "image/BmpLoader.h"
#include "scene/TrackSurface.h"
#include "support/SurfaceBitmap.h"

// The GL driver keeps allocations for the life of the process (the context,
// the shaders it compiles for a draw) and never frees them; its frames cannot be
// named in a leak report (it is loaded late and unwinds without frame pointers),
// so the leak checker is told to skip what is allocated while it works.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define IGNORE_DRIVER_ALLOCATIONS(...)                                                             \
    do {                                                                                           \
        __lsan::ScopedDisabler driverAllocations;                                                  \
        __VA_ARGS__;                                                                               \
    } while (0)
#else
#define IGNORE_DRIVER_ALLOCATIONS(...) __VA_ARGS__
#endif

// The track surface against real Mesa: what it leaves behind in the GL state and
// what actually lands in the texture.

namespace {

// One small window per test process gives the current context; another test
// in the same binary may already have made one.
void ensureContext()
{
    if (!glutGet(GLUT_INIT_STATE)) {
        static char name[] = "marble_display_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        glutInit(&argc, argv);
    }
    if (glutGetWindow() == 0) {
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(64, 64);
        IGNORE_DRIVER_ALLOCATIONS(glutCreateWindow("track surface"));
    }
}

// Track surfaces keep their image for good: hold on to every one made here.
TrackSurface* keep(TrackSurface* surface)
{
    // Never destroyed, so what it holds stays reachable at exit.
    static auto* made = new std::vector<TrackSurface*>;
    made->push_back(surface);
    return surface;
}

void expectDrawLeavesNoTexturingOrArrays(TrackSurface* surface)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    IGNORE_DRIVER_ALLOCATIONS(surface->draw(); glFinish());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLfloat diffuse[4] = {0, 0, 0, 0};
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    for (GLfloat channel : diffuse)
        EXPECT_EQ(channel, 1.0f);
}

// Level 0 of the texture bound to GL_TEXTURE_2D, as packed RGB rows.
std::vector<unsigned char> readLevel0(GLint& width, GLint& height)
{
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> texels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// Rows of 9 bytes, misread under OpenGL's default 4-byte row alignment. Both
// sides are rescaled by the mipmap builder (this GLU drops the top row when it
// rescales the width alone, so a power-of-two height would test GLU, not us).
const int width = 3;
const int height = 3;

} // namespace

TEST(TrackSurfaceDisplay, WithoutAnImageDrawsAndRestoresTheState)
{
    ensureContext();
    SurfaceBitmapDir dir; // no surface.bmp in it
    ASSERT_TRUE(dir.ready());
    TrackSurface* surface = keep(new TrackSurface());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    expectDrawLeavesNoTexturingOrArrays(surface);
}

class TrackSurfaceTexture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureContext();
        ASSERT_TRUE(dir.ready());
        ASSERT_TRUE(dir.writeBitmap(width, height, pixels));
        surface = keep(new TrackSurface());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    }

    SurfaceBitmapDir dir;
    std::vector<unsigned char> pixels = distinctPixels(width, height);
    TrackSurface* surface = nullptr;
    GLint texture = 0;
};

TEST_F(TrackSurfaceTexture, DrawRestoresTheState)
{
    expectDrawLeavesNoTexturingOrArrays(surface);
}

TEST_F(TrackSurfaceTexture, WidthThreeImageLandsInTheTexture)
{
    ASSERT_NE(texture, 0);
    GLint texWidth = 0, texHeight = 0;
    const std::vector<unsigned char> texels = readLevel0(texWidth, texHeight);
    ASSERT_EQ(texWidth, 4);
    ASSERT_EQ(texHeight, 4);

    // Rescaling blends source pixels, so every texel stays within the picture's
    // range; bytes read from beyond the pixel rows would not.
    for (int channel = 0; channel < 3; ++channel) {
        int low = 255, high = 0;
        for (size_t i = channel; i < pixels.size(); i += 3) {
            low = std::min<int>(low, pixels[i]);
            high = std::max<int>(high, pixels[i]);
        }
        for (size_t i = channel; i < texels.size(); i += 3) {
            EXPECT_GE(texels[i], low) << "byte " << i;
            EXPECT_LE(texels[i], high) << "byte " << i;
        }
    }

    // And exactly what the same pixels give when uploaded as packed rows.
    GLuint reference = 0;
    glGenTextures(1, &reference);
    glBindTexture(GL_TEXTURE_2D, reference);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, width, height, GL_RGB, GL_UNSIGNED_BYTE,
                      pixels.data());
    GLint refWidth = 0, refHeight = 0;
    EXPECT_EQ(readLevel0(refWidth, refHeight), texels);
    glDeleteTextures(1, &reference);
    glBindTexture(GL_TEXTURE_2D, texture);
}

TEST_F(TrackSurfaceTexture, MipmapsRunDownToOneTexelAndRepeat)
{
    GLint w = 0, h = 0, level = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    while (w > 1 || h > 1) {
        ++level;
        GLint lw = 0, lh = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &lw);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &lh);
        ASSERT_EQ(lw, std::max(1, w / 2)) << "level " << level;
        ASSERT_EQ(lh, std::max(1, h / 2)) << "level " << level;
        w = lw;
        h = lh;
    }

    GLint param = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &param);
    EXPECT_EQ(param, GL_LINEAR_MIPMAP_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &param);
    EXPECT_EQ(param, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &param);
    EXPECT_EQ(param, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &param);
    EXPECT_EQ(param, GL_REPEAT);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &param);
    EXPECT_EQ(param, GL_MODULATE);
}

TEST(TrackSurfaceDisplay, ShippedTextureLoadsTexelForTexel)
{
    ensureContext();
    SurfaceBitmapDir dir; // only to come back to the current directory afterwards
    ASSERT_TRUE(dir.ready());
    ASSERT_EQ(chdir(MARBLE_ASSETS_DIR), 0);
    RgbImage* image = loadBmpImage("surface.bmp");
    ASSERT_NE(image, nullptr) << "the shipped texture does not load";
    const std::size_t size = static_cast<std::size_t>(image->width) * image->height * 3;
    const std::vector<unsigned char> expected(image->data, image->data + size);
    const int imageWidth = image->width;
    std::free(image->data);
    std::free(image);

    keep(new TrackSurface());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Its sides are powers of two, so level 0 holds the picture unscaled.
    GLint texWidth = 0, texHeight = 0;
    EXPECT_EQ(readLevel0(texWidth, texHeight), expected);
    EXPECT_EQ(texWidth, imageWidth);
}
