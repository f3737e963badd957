#pragma once

// A window's _NET_WM_ICON, images of width, height and ARGB pixels one after
// another, compared with the PNG the icon painter (tools/MakeIcon.cpp) makes of
// each size.

#include <gtest/gtest.h>
#include <stb_image.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// The sizes the property holds, in its order. A pixel that differs from the
// painter's, or anything in the property but square images, fails the test.
inline std::vector<unsigned long> paintedIconSizes(const std::vector<unsigned long>& icon,
                                                   const std::string& painter)
{
    const std::string png = std::filesystem::temp_directory_path().string() + "/marble-icon-" +
                            std::to_string(getpid()) + ".png";
    std::vector<unsigned long> sizes;
    size_t at = 0;
    while (at + 2 <= icon.size() && icon[at] == icon[at + 1] &&
           at + 2 + icon[at] * icon[at] <= icon.size()) {
        const unsigned long size = icon[at];
        sizes.push_back(size);
        const std::string paint = painter + " " + std::to_string(size) + " " + png;
        int width = 0, height = 0, channels = 0;
        EXPECT_EQ(0, std::system(paint.c_str())) << paint;
        unsigned char* pixels = stbi_load(png.c_str(), &width, &height, &channels, 4);
        std::filesystem::remove(png);
        EXPECT_TRUE(pixels && width == int(size) && height == int(size)) << paint;
        if (!pixels || width != int(size) || height != int(size))
            break;
        int differ = 0;
        for (unsigned long i = 0; i < size * size; ++i) {
            const unsigned char* p = pixels + 4 * i;
            differ += icon[at + 2 + i] != (static_cast<unsigned long>(p[3]) << 24 |
                                           static_cast<unsigned long>(p[0]) << 16 |
                                           static_cast<unsigned long>(p[1]) << 8 | p[2]);
        }
        stbi_image_free(pixels);
        EXPECT_EQ(0, differ) << "pixels of the " << size << "-pixel icon differ";
        at += 2 + size * size;
    }
    EXPECT_EQ(icon.size(), at) << "_NET_WM_ICON holds something other than images";
    return sizes;
}
