#pragma once

#include <string>
#include <vector>

#include "tests/support/BmpBuilder.h"

// One small picture, 5 x 3 (odd width, so every depth pads its rows), stored in each
// form the loader reads, with the R, G, B bytes each must decode to. The tests check
// them all, and the fuzzer starts from them.
namespace bmpSamples {

const int width = 5;
const int height = 3;

// Colour indices, stored (bottom) row first.
const uint8_t indices[height][width] = {
    {3, 3, 3, 7, 12},
    {0, 5, 9, 14, 2},
    {15, 15, 4, 4, 4},
};

inline uint32_t widen5(uint32_t v)
{
    return v << 3 | v >> 2;
}

// 0xRRGGBB of colour i: 16 distinct colours whose channels come through 5-bit storage
// unchanged, so the 16-bit forms show the same picture.
inline uint32_t color(int i)
{
    const uint32_t r = uint32_t(i * 7 % 32);
    const uint32_t g = uint32_t((i * 13 + 5) % 32);
    const uint32_t b = uint32_t((i * 3 + 11) % 32);
    return widen5(r) << 16 | widen5(g) << 8 | widen5(b);
}

struct Sample {
    std::string name;
    std::vector<uint8_t> file;
    std::vector<uint8_t> rgb; // the decoded pixels, bottom row first
};

// Each pixel's stored value made by form(colour index), stored row order.
template <typename Form> std::vector<uint32_t> values(Form form, bool topDown = false)
{
    std::vector<uint32_t> out;
    for (int r = 0; r < height; ++r) {
        const int y = topDown ? height - 1 - r : r;
        for (int x = 0; x < width; ++x)
            out.push_back(form(indices[y][x]));
    }
    return out;
}

inline std::vector<uint8_t> expected(int colorMask = 15)
{
    std::vector<uint8_t> out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = color(indices[y][x] & colorMask);
            out.insert(out.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        }
    }
    return out;
}

inline BmpBuilder picture(int bitCount, int paletteSize)
{
    BmpBuilder b;
    b.width = width;
    b.height = height;
    b.bitCount = uint16_t(bitCount);
    for (int i = 0; i < paletteSize; ++i)
        b.colors.push_back(color(i % 16));
    return b;
}

inline BmpBuilder indexed(int bitCount, int paletteSize, int colorMask = 15)
{
    BmpBuilder b = picture(bitCount, paletteSize);
    b.pixels = BmpBuilder::storeRows(width, height, bitCount,
                                     values([=](int i) { return uint32_t(i & colorMask); }));
    return b;
}

inline BmpBuilder direct(int bitCount, uint32_t (*form)(uint32_t rgb), bool topDown = false)
{
    BmpBuilder b = picture(bitCount, 0);
    b.pixels = BmpBuilder::storeRows(width, height, bitCount,
                                     values([=](int i) { return form(color(i)); }, topDown));
    return b;
}

inline uint32_t asBgr(uint32_t rgb)
{
    return rgb;
}

inline uint32_t as555(uint32_t rgb)
{
    return (rgb >> 19 & 31) << 10 | (rgb >> 11 & 31) << 5 | (rgb >> 3 & 31);
}

inline uint32_t as555Reversed(uint32_t rgb) // blue in the high bits
{
    return (rgb >> 3 & 31) << 10 | (rgb >> 11 & 31) << 5 | (rgb >> 19 & 31);
}

inline uint32_t as101010(uint32_t rgb) // each channel widened to 10 bits
{
    const auto ten = [](uint32_t v) { return v << 2 | v >> 6; };
    return ten(rgb >> 16 & 255) << 20 | ten(rgb >> 8 & 255) << 10 | ten(rgb & 255);
}

inline std::vector<Sample> all()
{
    std::vector<Sample> out;
    const auto add = [&](const char* name, const BmpBuilder& b,
                         const std::vector<uint8_t>& rgb = expected()) {
        out.push_back({name, b.build(), rgb});
    };
    add("info1.bmp", indexed(1, 2, 1), expected(1));
    add("info4.bmp", indexed(4, 16));
    add("info8-16colors.bmp", [] {
        BmpBuilder b = indexed(8, 16);
        b.colorsUsed = 16;
        return b;
    }());
    add("info8-256colors.bmp", indexed(8, 256));
    add("info16.bmp", direct(16, as555));
    add("info24.bmp", direct(24, asBgr));
    add("info32.bmp", direct(32, [](uint32_t rgb) { return 0xee000000 | rgb; }));
    add("info24-no-file-header.bmp", [] {
        BmpBuilder b = direct(24, asBgr);
        b.fileHeader = false;
        return b;
    }());
    add("core24.bmp", [] {
        BmpBuilder b = direct(24, asBgr);
        b.headerSize = 12;
        return b;
    }());
    add("core8-no-file-header.bmp", [] {
        BmpBuilder b = indexed(8, 256);
        b.headerSize = 12;
        b.fileHeader = false;
        return b;
    }());
    add("top-down24.bmp", [] {
        BmpBuilder b = direct(24, asBgr, true);
        b.height = -height;
        return b;
    }());
    add("bitfields16.bmp", [] {
        BmpBuilder b = direct(16, as555Reversed);
        b.compression = 3;
        b.masks = {0x001f, 0x03e0, 0x7c00};
        return b;
    }());
    add("bitfields32-no-file-header.bmp", [] {
        BmpBuilder b = direct(32, as101010);
        b.compression = 3;
        b.masks = {0x3ff00000, 0x000ffc00, 0x000003ff};
        b.fileHeader = false;
        return b;
    }());
    return out;
}

} // namespace bmpSamples
