#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/Bits.h"
#include "web/LookAtMatrix.h"
#include "web/MipmapChain.h"
#include "web/SphereMesh.h"

// The browser build's stand-ins for freeglut's sphere and GLU's mipmaps and view
// transform give the same numbers in every build of this suite, WebAssembly included;
// the display tests show that these are the numbers of the real freeglut and GLU.

namespace {

uint64_t byteDigest(const std::vector<unsigned char>& bytes, uint64_t hash = 0xcbf29ce484222325u)
{
    for (unsigned char b : bytes)
        hash = (hash ^ b) * 0x100000001b3u;
    return hash;
}

} // namespace

TEST(GlLayer, SphereOfTheGameIsPinned)
{
    const SphereMesh sphere(0.5f, 40, 40);
    ASSERT_EQ(size_t(40 * 39 + 2) * 3, sphere.getVertices().size());
    ASSERT_EQ(size_t(41 * 2 * 40), sphere.getStripIndices().size());
    const uint64_t vertices = digest(sphere.getVertices().data(), sphere.getVertices().size());
    const uint64_t normals = digest(sphere.getNormals().data(), sphere.getNormals().size());
    std::vector<unsigned char> indices;
    for (unsigned short i : sphere.getStripIndices()) {
        indices.push_back((unsigned char)(i & 0xff));
        indices.push_back((unsigned char)(i >> 8));
    }
    EXPECT_EQ(0x32287029d49c9d4du, vertices);
    EXPECT_EQ(0xfd6da9094b2636fu, normals);
    EXPECT_EQ(0xb6335f3d3a12e1eau, byteDigest(indices));
}

TEST(GlLayer, MipmapChainOfARescaledImageIsPinned)
{
    // 100 x 37 is rescaled to 128 x 32, then halved down to 1 x 1.
    std::vector<unsigned char> pixels(size_t(100) * 37 * 3);
    uint32_t seed = 12345;
    for (unsigned char& p : pixels) {
        seed = seed * 1103515245u + 12345u;
        p = (unsigned char)(seed >> 16);
    }
    const MipmapChain chain(3, 100, 37, pixels.data(), 300, 1 << 14);
    ASSERT_EQ(8u, chain.getLevels().size());
    EXPECT_EQ(128, chain.getLevels()[0].width);
    EXPECT_EQ(32, chain.getLevels()[0].height);
    uint64_t hash = 0xcbf29ce484222325u;
    for (const MipmapChain::Level& level : chain.getLevels())
        hash = byteDigest(level.pixels, hash);
    EXPECT_EQ(0x15aebc352172b1ecu, hash);
}

TEST(GlLayer, ViewOfTheStartingCameraIsPinned)
{
    const LookAtMatrix view(8.0, 0.0, -3.0, 0.0, 5.0, 1.0, 0.0, 1.0, 0.0);
    EXPECT_EQ(0x9b152bb180b093e8u, digest(view.getRotation(), 16));
}
