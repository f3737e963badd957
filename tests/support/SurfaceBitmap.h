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

#include "support/BmpBuilder.h"

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
        std::vector<uint32_t> values;
        values.reserve(rgb.size() / 3);
        for (size_t i = 0; i + 2 < rgb.size(); i += 3)
            values.push_back(uint32_t(rgb[i]) << 16 | uint32_t(rgb[i + 1]) << 8 | rgb[i + 2]);
        BmpBuilder bitmap;
        bitmap.width = width;
        bitmap.height = height;
        bitmap.pixels = BmpBuilder::storeRows(width, height, 24, values);
        const std::vector<uint8_t> file = bitmap.build();

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
