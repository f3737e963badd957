#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "support/TestWindow.h"
#include "web/LookAtMatrix.h"
#include "web/MipmapChain.h"
#include "web/SphereMesh.h"

// The browser build's stand-ins for freeglut's sphere and GLU's mipmaps and view
// transform, against the real freeglut and GLU on Mesa: the same numbers, bit for bit.

namespace {

// What GL hands on to the rasterizer for draw(): every triangle's window positions and
// lit colours.
std::vector<float> feedback(void (*draw)(const SphereMesh&), const SphereMesh& mesh)
{
    std::vector<GLfloat> buffer(1 << 21);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw(mesh);
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GT(used, 0) << "the feedback buffer overflowed or stayed empty";
    buffer.resize(size_t(used > 0 ? used : 0));
    return buffer;
}

std::vector<uint32_t> bits(const std::vector<float>& values)
{
    std::vector<uint32_t> out(values.size());
    std::memcpy(out.data(), values.data(), values.size() * sizeof(float));
    return out;
}

} // namespace

TEST(GlLayerDisplay, SphereMeshShowsFreeglutsTrianglesLitAlike)
{
    openTestWindow("sphere");
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 1.0, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.25f, -0.125f, -3.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat light[] = {0.7f, 0.6f, 0.5f, 0.0f}, direction[] = {-2.0f, 8.0f, 5.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light);
    glLightfv(GL_LIGHT0, GL_SPECULAR, light);
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f}, diffuse[] = {0.8f, 0.0f, 0.6f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, 80.0f);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);

    const struct {
        float radius;
        int slices, stacks;
    } spheres[] = {{0.5f, 40, 40}, {1.25f, 7, 3}, {0.75f, 3, 2}, {0.5f, 16, 33}};
    for (const auto& s : spheres) {
        const SphereMesh mesh(s.radius, s.slices, s.stacks);
        const auto glut = feedback(
            [](const SphereMesh& m) {
                glutSolidSphere(m.getRadius(), m.getSlices(), m.getStacks());
            },
            mesh);
        // As the page draws it: normal and vertex interleaved, one list of triangles.
        const auto ours = feedback(
            [](const SphereMesh& m) {
                const GLsizei stride = 6 * sizeof(float);
                glEnableClientState(GL_NORMAL_ARRAY);
                glEnableClientState(GL_VERTEX_ARRAY);
                glNormalPointer(GL_FLOAT, stride, m.getInterleaved().data());
                glVertexPointer(3, GL_FLOAT, stride, m.getInterleaved().data() + 3);
                glDrawElements(GL_TRIANGLES, GLsizei(m.getTriangleIndices().size()),
                               GL_UNSIGNED_SHORT, m.getTriangleIndices().data());
                glDisableClientState(GL_VERTEX_ARRAY);
                glDisableClientState(GL_NORMAL_ARRAY);
            },
            mesh);
        EXPECT_EQ(bits(glut), bits(ours)) << s.slices << " slices, " << s.stacks << " stacks";
        // Each stack is one strip of 2 * slices triangles: (x, y, z, r, g, b, a) per
        // corner after a token and a count.
        EXPECT_EQ(size_t(2 * s.slices * s.stacks * 23), ours.size());
    }
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST(GlLayerDisplay, MipmapChainIsTheChainGluLoads)
{
    openTestWindow("mipmaps");
    const struct {
        int width, height, components, alignment;
    } images[] = {{256, 256, 3, 1}, {5, 3, 3, 1},  {100, 37, 3, 1}, {5, 3, 3, 4},
                  {1, 7, 3, 1},     {64, 1, 4, 4}, {33, 65, 1, 1},  {3, 200, 3, 2}};
    uint32_t seed = 12345;
    for (const auto& image : images) {
        const int rowBytes = (image.width * image.components + image.alignment - 1) /
                             image.alignment * image.alignment;
        std::vector<unsigned char> pixels(size_t(rowBytes) * size_t(image.height));
        for (unsigned char& p : pixels) {
            seed = seed * 1103515245u + 12345u;
            p = (unsigned char)(seed >> 16);
        }
        const GLenum format = image.components == 1   ? GL_LUMINANCE
                              : image.components == 3 ? GL_RGB
                                                      : GL_RGBA;
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, image.alignment);
        ASSERT_EQ(0, gluBuild2DMipmaps(GL_TEXTURE_2D, GLint(format), image.width, image.height,
                                       format, GL_UNSIGNED_BYTE, pixels.data()));

        const MipmapChain chain(image.components, image.width, image.height, pixels.data(),
                                rowBytes, 1 << 14);
        const std::string name = std::to_string(image.width) + " x " + std::to_string(image.height);
        GLint level = 0;
        for (const MipmapChain::Level& expected : chain.getLevels()) {
            GLint width = 0, height = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
            EXPECT_EQ(expected.width, width) << name << ", level " << level;
            EXPECT_EQ(expected.height, height) << name << ", level " << level;
            std::vector<unsigned char> texels(expected.pixels.size());
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            if (width == expected.width && height == expected.height)
                glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, texels.data());
            EXPECT_EQ(expected.pixels, texels) << name << ", level " << level;
            level++;
        }
        GLint beyond = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &beyond);
        EXPECT_EQ(0, beyond) << name << ": GLU loads more levels";
        glDeleteTextures(1, &texture);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST(GlLayerDisplay, LookAtMatrixIsGlusViewTransform)
{
    openTestWindow("look at");
    glMatrixMode(GL_MODELVIEW);
    // The camera at the start of a run, part of the way down the track, nudged up
    // close to its centre, and looking straight down (up along the view).
    const double cameras[][9] = {{8, 0, -3, 0, 5, 1, 0, 1, 0},
                                 {61.25, -1.5, 4.75, 53.125, 2.25, 7.5, 0, 1, 0},
                                 {0.5, 5.5000001, 1, 0.5, 5.5, 1.25, 0, 1, 0},
                                 {1, 10, 1, 1, 0, 1, 0, 1, 0}};
    for (const auto& c : cameras) {
        GLfloat glu[16], ours[16];
        glLoadIdentity();
        gluLookAt(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
        glGetFloatv(GL_MODELVIEW_MATRIX, glu);
        glLoadIdentity();
        LookAtMatrix(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]).apply();
        glGetFloatv(GL_MODELVIEW_MATRIX, ours);
        EXPECT_EQ(bits(std::vector<float>(glu, glu + 16)),
                  bits(std::vector<float>(ours, ours + 16)))
            << "eye " << c[0] << " " << c[1] << " " << c[2];
    }
}
