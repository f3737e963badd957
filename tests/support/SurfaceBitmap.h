#pragma once

// A throw-away working directory for code that opens "surface.bmp" by name:
// it is created empty, optionally given a 24-bit bitmap, made the working
// directory while the object lives, and removed afterwards.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

class SurfaceBitmapDir {
public:
    SurfaceBitmapDir()
    {
        char pattern[] = "/tmp/marble-surface-XXXXXX";
        if (mkdtemp(pattern))
            dir = pattern;
        char here[4096];
        if (getcwd(here, sizeof here))
            previous = here;
        if (!dir.empty() && chdir(dir.c_str()) != 0)
            dir.clear();
    }

    ~SurfaceBitmapDir()
    {
        if (!previous.empty() && chdir(previous.c_str()) != 0)
            std::perror("chdir");
        if (!dir.empty()) {
            std::remove((dir + "/surface.bmp").c_str());
            rmdir(dir.c_str());
        }
    }

    SurfaceBitmapDir(const SurfaceBitmapDir&) = delete;
    SurfaceBitmapDir& operator=(const SurfaceBitmapDir&) = delete;

    bool ready() const { return !dir.empty(); }

    // Writes "surface.bmp" as an uncompressed 24-bit bitmap with file header and
    // 40-byte information header. rgb holds width x height pixels as red, green,
    // blue, bottom row first, rows packed: the layout the loader hands back.
    bool writeBitmap(int width, int height, const std::vector<unsigned char>& rgb) const
    {
        const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
        const uint32_t pixelBytes = stride * static_cast<uint32_t>(height);
        std::vector<unsigned char> file;
        auto put16 = [&](uint32_t v) {
            file.push_back(v & 0xff);
            file.push_back((v >> 8) & 0xff);
        };
        auto put32 = [&](uint32_t v) {
            put16(v & 0xffff);
            put16(v >> 16);
        };
        file.push_back('B');
        file.push_back('M');
        put32(14 + 40 + pixelBytes);
        put32(0);       // reserved
        put32(14 + 40); // pixel data offset
        put32(40);
        put32(static_cast<uint32_t>(width));
        put32(static_cast<uint32_t>(height)); // positive: bottom row first
        put16(1);                             // planes
        put16(24);                            // bits per pixel
        put32(0);                             // no compression
        put32(pixelBytes);
        put32(2835); // 72 dpi
        put32(2835);
        put32(0);
        put32(0);
        for (int r = 0; r < height; ++r) {
            for (int c = 0; c < width; ++c) {
                const unsigned char* p = &rgb[3 * (static_cast<size_t>(r) * width + c)];
                file.push_back(p[2]);
                file.push_back(p[1]);
                file.push_back(p[0]);
            }
            for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < stride; ++pad)
                file.push_back(0);
        }

        std::FILE* out = std::fopen("surface.bmp", "wb");
        if (!out)
            return false;
        const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
        return std::fclose(out) == 0 && written;
    }

private:
    std::string dir;
    std::string previous;
};

// A small picture in which every byte differs, so a misread row or a swapped
// channel shows.
inline std::vector<unsigned char> distinctPixels(int width, int height)
{
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<unsigned char>(17 + 7 * i);
    return rgb;
}
