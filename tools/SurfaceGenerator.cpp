// Writes the track texture: 256 x 256 pixels of fine, light stone with a faint joint
// along its edges, tiling seamlessly, so that the track repeats it once per world unit
// and reads as paving slabs. A 24-bit Windows bitmap with a file header.
//
// Usage: surface_generator [output file]   (default assets/surface.bmp)
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

const int size = 256;

// A fixed integer hash, so every run writes the same picture.
uint32_t hash(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

double unit(uint32_t h)
{
    return double(h & 0xffffff) / double(0xffffff);
}

double smooth(double t)
{
    return t * t * (3 - 2 * t);
}

// Value noise on a lattice of cells x cells that wraps around the picture, so the
// left edge continues the right one and the bottom the top.
double latticeNoise(int px, int py, int cells, uint32_t seed)
{
    const double fx = double(px) * cells / size;
    const double fy = double(py) * cells / size;
    const int x0 = int(fx);
    const int y0 = int(fy);
    const double tx = smooth(fx - x0);
    const double ty = smooth(fy - y0);
    const auto at = [&](int x, int y) {
        return unit(hash(uint32_t(x % cells), uint32_t(y % cells), seed));
    };
    const double bottom = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
    const double top = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
    return bottom + (top - bottom) * ty;
}

// Several octaves, from broad clouding to fine grain; result in about -1 .. 1.
double stone(int px, int py, uint32_t seed)
{
    double sum = 0;
    double amplitude = 1;
    double total = 0;
    for (int cells = 4; cells <= 128; cells *= 2, amplitude *= 0.7) {
        sum += (latticeNoise(px, py, cells, seed + uint32_t(cells)) * 2 - 1) * amplitude;
        total += amplitude;
    }
    return sum / total;
}

// Distance in pixels from the nearest tile edge, across the wrap.
int edgeDistance(int p)
{
    return std::min(p, size - 1 - p);
}

uint8_t clampByte(double v)
{
    return uint8_t(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
}

void put(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

std::vector<uint8_t> bitmap()
{
    const uint32_t pixelBytes = size * size * 3;
    std::vector<uint8_t> out;
    put(out, 0x4d42, 2); // "BM"
    put(out, 14 + 40 + pixelBytes, 4);
    put(out, 0, 4);
    put(out, 14 + 40, 4);
    put(out, 40, 4);
    put(out, size, 4);
    put(out, size, 4);
    put(out, 1, 2);
    put(out, 24, 2);
    put(out, 0, 4);
    put(out, pixelBytes, 4);
    put(out, 2835, 4);
    put(out, 2835, 4);
    put(out, 0, 4);
    put(out, 0, 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Light, slightly warm grey, clouded and grained.
            const double grain = unit(hash(uint32_t(x), uint32_t(y), 7));
            double level = 205 + 24 * stone(x, y, 1) + 10 * (grain - 0.5);
            if (grain > 0.985)
                level -= 35 * (grain - 0.985) / 0.015; // a few dark flecks
            else if (grain < 0.02)
                level += 18; // and bright ones
            // The joint: a soft dark line two pixels either side of the tile edge.
            const int edge = std::min(edgeDistance(x), edgeDistance(y));
            if (edge < 2)
                level -= 38 - 12 * edge;
            else if (edge == 2)
                level += 6; // a hint of a worn rim beside it
            const double warmth = 6 * stone(x, y, 3);
            put(out, clampByte(level - 10 - warmth), 1); // blue
            put(out, clampByte(level - 2), 1);           // green
            put(out, clampByte(level + 6 + warmth), 1);  // red
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "assets/surface.bmp";
    const std::vector<uint8_t> bytes = bitmap();
    std::FILE* file = std::fopen(path, "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    std::fclose(file);
    return 0;
}
