#pragma once

#include <cstddef>
#include <cstdint>

#include "image/BmpRows.h"
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
    template <bool nibbles> bool decodeRle(unsigned char* out) const;

    const BmpSource& source;
    const unsigned char* pixels;
    size_t available;
    Format format;
    int width;
    int rowCount;
    uint32_t masks[3];

    // Lookup tables, filled for the format at hand (see image/BmpRows.h).
    PaletteRgb palette;
    ByteColors byteColors;
    ChannelTables channels;
};
