#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "image/BmpLoader.h"
#include "tests/support/BmpBuilder.h"

using Bytes = std::vector<uint8_t>;

// What one call of the loader gave: the image (freed as the caller would free it) and
// everything it wrote to standard error.
struct Decoded {
    struct Release {
        void operator()(RgbImage* image) const
        {
            std::free(image->data);
            std::free(image);
        }
    };
    using Image = std::unique_ptr<RgbImage, Release>;
    Image image;
    std::string errors;

    std::vector<uint8_t> rgb() const
    {
        const size_t size = size_t(image->width) * size_t(image->height) * 3;
        return std::vector<uint8_t>(image->data, image->data + size);
    }
};

inline Decoded decode(const std::vector<uint8_t>& file)
{
    // An exactly sized copy, so that AddressSanitizer sees any read past the end.
    const std::unique_ptr<unsigned char[]> bytes(new unsigned char[file.size()]);
    std::copy(file.begin(), file.end(), bytes.get());
    testing::internal::CaptureStderr();
    RgbImage* image = decodeBmpImage(bytes.get(), file.size());
    return Decoded{Decoded::Image(image), testing::internal::GetCapturedStderr()};
}

inline Decoded load(const std::string& path)
{
    testing::internal::CaptureStderr();
    RgbImage* image = loadBmpImage(path.c_str());
    return Decoded{Decoded::Image(image), testing::internal::GetCapturedStderr()};
}

// The line the loader writes for a failure with the given text.
inline std::string errorLine(const std::string& text)
{
    return "Error: " + text + "\n";
}

const char conversionError[] = "Image file conversion error.";
const char unknownFormat[] = "Unknown DIB file format.";
const char outOfMemory[] = "Out of memory.";

// A picture of the given stored pixel data; palette entries are 0xRRGGBB.
inline BmpBuilder file(int width, int height, int bitCount, const Bytes& pixels,
                       const std::vector<uint32_t>& colors = {})
{
    BmpBuilder b;
    b.width = width;
    b.height = height;
    b.bitCount = uint16_t(bitCount);
    b.colors = colors;
    b.colorsUsed = uint32_t(colors.size());
    b.pixels = pixels;
    return b;
}

// Grey levels: colour i is (i, i, i) * 0x10, so each index is easy to read back.
inline std::vector<uint32_t> greys(int count)
{
    std::vector<uint32_t> out;
    out.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        out.push_back(0x101010u * uint32_t(i));
    return out;
}

// Run-length data of a 4- or 8-bit picture with a 16-grey palette.
inline BmpBuilder runLength(int width, int height, bool nibbles, const Bytes& stream)
{
    BmpBuilder b = file(width, height, nibbles ? 4 : 8, stream, greys(16));
    b.compression = nibbles ? 2 : 1;
    return b;
}

// Bit-field pixels with their red, green and blue masks.
inline BmpBuilder bitFields(int width, int bitCount, const Bytes& pixels,
                            const std::vector<uint32_t>& masks)
{
    BmpBuilder b = file(width, 1, bitCount, pixels);
    b.compression = 3;
    b.masks = masks;
    return b;
}
