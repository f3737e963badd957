#pragma once

#include <cstddef>
#include <cstdint>

#include "image/BmpSource.h"

// Turns a bitmap's pixel data into packed R, G, B rows, bottom row first, whatever
// the bit depth, compression or row order of the file. It reads only the bytes it
// was given and allocates nothing: its lookup tables live inside the object.
class BmpDecoder {
public:
    // pixels: the pixel data, followed by the rest of the file (available bytes in all).
    // masks: red, green and blue masks of bit-field pixels; ignored for other files.
    BmpDecoder(const BmpSource& source, const unsigned char* pixels, size_t available,
               const uint32_t masks[3]);

    // Whether the pixels are of a kind this decoder reads and lie within the given bytes.
    bool canDecode() const;

    // Writes width x rows x 3 bytes to out. Run-length data can still turn out malformed
    // while it is read; then the result is false and out holds a partial picture.
    bool decode(unsigned char* out);

    // Number of output rows: the height without its sign.
    int rows() const { return rowCount; }

private:
    enum class Format {
        invalid,
        indexed1,
        indexed4,
        indexed8,
        masked16,
        bgr24,
        bgr32,
        masked32,
        rle8,
        rle4
    };

    Format formatOf() const;
    bool masksUsable() const;
    size_t storedRowBytes() const;

    void buildPalette();
    void buildMaskTables();
    void decodeRows(unsigned char* out) const;
    void decodeRow(const unsigned char* in, unsigned char* out) const;
    void indexed1Row(const unsigned char* in, unsigned char* out) const;
    void indexed4Row(const unsigned char* in, unsigned char* out) const;
    void indexed8Row(const unsigned char* in, unsigned char* out) const;
    void bgr24Row(const unsigned char* in, unsigned char* out) const;
    void bgr32Row(const unsigned char* in, unsigned char* out) const;
    template <int bytesPerPixel> void maskedRow(const unsigned char* in, unsigned char* out) const;
    template <bool nibbles> bool decodeRle(unsigned char* out) const;
    void fillSkipped(unsigned char* out, size_t from, size_t to) const;

    const BmpSource& source;
    const unsigned char* pixels;
    size_t available;
    Format format;
    int width;
    int rowCount;
    uint32_t masks[3];

    // Colour of each possible index as R, G, B (and a spare byte, so a pixel is one store).
    uint8_t palette[256][4];
    // Eight 1-bit or two 4-bit pixels of one stored byte, already as R, G, B.
    uint8_t byteColors[256][24];
    // For each channel of a masked pixel: the shift and width of its top 8 bits, and
    // those bits widened to 0..255.
    int channelShift[3];
    uint32_t channelMask[3];
    uint8_t channelLevel[3][256];
};
