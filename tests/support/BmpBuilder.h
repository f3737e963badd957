#pragma once

#include <cstdint>
#include <vector>

// Writes bitmap files field by field, so that each test says exactly what its file
// holds. Every field has the plain default of a small 24-bit file with a file header;
// build() writes whatever the fields say, valid or not.
struct BmpBuilder {
    bool fileHeader = true;
    uint32_t headerSize = 40; // 12 writes a core header; sizes past 40 pad with zeros
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks;  // written right behind the header when not empty
    std::vector<uint32_t> colors; // 0xRRGGBB each, stored blue, green, red (, 0)
    std::vector<uint8_t> pixels;  // the pixel data exactly as stored
    int64_t pixelOffset = -1;     // the file header's field; -1: right behind the colour table

    std::vector<uint8_t> build() const
    {
        std::vector<uint8_t> out;
        const bool core = headerSize == 12;
        const size_t entryBytes = core ? 3 : 4;
        const size_t start = fileHeader ? 14 : 0;
        const size_t pixelStart =
            start + headerSize + 4 * masks.size() + entryBytes * colors.size();
        if (fileHeader) {
            put(out, 'B', 1);
            put(out, 'M', 1);
            put(out, uint32_t(pixelStart + pixels.size()), 4);
            put(out, 0, 4);
            put(out, uint32_t(pixelOffset >= 0 ? uint64_t(pixelOffset) : pixelStart), 4);
        }
        put(out, headerSize, 4);
        if (core) {
            put(out, uint32_t(width), 2);
            put(out, uint32_t(height), 2);
            put(out, planes, 2);
            put(out, bitCount, 2);
        } else {
            put(out, uint32_t(width), 4);
            put(out, uint32_t(height), 4);
            put(out, planes, 2);
            put(out, bitCount, 2);
            put(out, compression, 4);
            put(out, imageSize, 4);
            put(out, 2835, 4); // 72 dpi
            put(out, 2835, 4);
            put(out, colorsUsed, 4);
            put(out, 0, 4);
            out.resize(out.size() + (headerSize > 40 ? headerSize - 40 : 0));
        }
        for (uint32_t mask : masks)
            put(out, mask, 4);
        for (uint32_t color : colors)
            put(out, color, entryBytes);
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }

    // Stored rows of width x height pixel values, each padded to 4 bytes. A value is
    // what the file stores: an index, a 16-bit word, 0xRRGGBB (24 bits) or 0xXXRRGGBB.
    static std::vector<uint8_t> storeRows(int width, int height, int bitCount,
                                          const std::vector<uint32_t>& values)
    {
        const size_t stride = (size_t(width) * size_t(bitCount) + 31) / 32 * 4;
        std::vector<uint8_t> out(stride * size_t(height));
        for (int y = 0; y < height; ++y) {
            uint8_t* row = out.data() + size_t(y) * stride;
            for (int x = 0; x < width; ++x) {
                const uint32_t v = values[size_t(y) * size_t(width) + size_t(x)];
                if (bitCount < 8) { // leftmost pixel in the most significant bits
                    const int bit = x * bitCount;
                    row[bit / 8] |= uint8_t(v << (8 - bitCount - bit % 8));
                    continue;
                }
                for (int b = 0; b < bitCount / 8; ++b)
                    row[size_t(x) * size_t(bitCount / 8) + size_t(b)] = uint8_t(v >> (8 * b));
            }
        }
        return out;
    }

    static void put(std::vector<uint8_t>& out, uint32_t value, size_t bytes)
    {
        for (size_t i = 0; i < bytes; ++i)
            out.push_back(uint8_t(value >> (8 * i)));
    }
};
