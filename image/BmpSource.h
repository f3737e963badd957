#pragma once

#include <cstdint>

// One colour-table entry as a bitmap stores it.
struct BmpColor {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
};

// A bitmap's description in one form whichever header the file has: the fields of
// the 40-byte information header, then the colour table. Both header forms are
// normalised into this before any pixel is read.
struct BmpSource {
    uint32_t headerSize;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t imageSize;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t colorsUsed;
    uint32_t colorsImportant;
    // Entries actually present in colors; colorsUsed may claim more (it is kept as stored).
    uint16_t colorCount;
    // Points just behind this record, in the same allocation.
    BmpColor* colors;
};

// Compression values a bitmap header can carry.
enum BmpCompression : uint32_t {
    bmpRgb = 0,
    bmpRle8 = 1,
    bmpRle4 = 2,
    bmpBitFields = 3,
};
