#pragma once

#include <vector>

// The texture levels GLU's gluBuild2DMipmaps loads for 8-bit pixels: the image
// first rescaled to the nearest power of two on each side (no larger than maxSize),
// then halved level after level down to 1 x 1, each texel of a level the rounded
// mean of the 2 x 2 texels beneath it (of two, without rounding, once one side is
// down to 1).
class MipmapChain {
public:
    struct Level {
        int width;
        int height;
        std::vector<unsigned char> pixels; // rows packed, bottom row first
    };

    // pixels: height rows of width pixels of components bytes each, every row
    // starting rowBytes after the one before.
    MipmapChain(int components, int width, int height, const unsigned char* pixels, int rowBytes,
                int maxSize);

    const std::vector<Level>& getLevels() const { return levels; }

    // The power of two GLU takes for a side of value texels: the nearer one,
    // judged by the two highest bits (3 goes up to 4, 5 down to 4, 6 up to 8).
    static int nearestPower(int value);

private:
    std::vector<Level> levels;
};
