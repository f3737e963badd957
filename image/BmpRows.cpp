#include "image/BmpRows.h"

#include <cstring>

#include "image/LittleEndian.h"

namespace {

// Swaps the outer bytes of each 3-byte group: blue, green, red becomes red, green, blue.
// A 32-bit value holds one pixel in its low 3 bytes, a 64-bit value two in its low 6.
template <typename Word> Word swapRedBlue(Word v, Word lowBytes)
{
    return (v & (lowBytes << 8)) | (v & lowBytes) << 16 | (v >> 16 & lowBytes);
}

void swapPixel(const unsigned char* in, unsigned char* out)
{
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
}

// Rows of packed indices: each stored byte becomes perByte pixels at once.
template <int perByte>
void packedRow(const unsigned char* in, unsigned char* out, int width, const ByteColors& colors)
{
    const int wholeBytes = width / perByte;
    const size_t bytesOut = 3 * size_t(perByte);
    for (int i = 0; i < wholeBytes; ++i, out += bytesOut)
        std::memcpy(out, colors[in[i]], bytesOut);
    if (width % perByte) // a byte only partly used; a row that ends on a byte boundary has none
        std::memcpy(out, colors[in[wholeBytes]], size_t(width % perByte) * 3);
}

template <int bytesPerPixel>
void maskedRow(const unsigned char* in, unsigned char* out, int width, const ChannelTables& t)
{
    const int rShift = t.shift[0], gShift = t.shift[1], bShift = t.shift[2];
    const uint32_t rMask = t.mask[0], gMask = t.mask[1], bMask = t.mask[2];
    for (int c = 0; c < width; ++c, in += bytesPerPixel, out += 3) {
        const uint32_t v = bytesPerPixel == 2 ? load16(in) : load32(in);
        out[0] = t.level[0][v >> rShift & rMask];
        out[1] = t.level[1][v >> gShift & gMask];
        out[2] = t.level[2][v >> bShift & bMask];
    }
}

} // namespace

void indexed1Row(const unsigned char* in, unsigned char* out, int width, const ByteColors& colors)
{
    packedRow<8>(in, out, width, colors);
}

void indexed4Row(const unsigned char* in, unsigned char* out, int width, const ByteColors& colors)
{
    packedRow<2>(in, out, width, colors);
}

void indexed8Row(const unsigned char* in, unsigned char* out, int width, const PaletteRgb& palette)
{
    // Four bytes per pixel are stored, the fourth overwritten by the next pixel; the
    // last pixel of the row gets exactly three so nothing is written past the row.
    const int last = width - 1;
    for (int c = 0; c < last; ++c, out += 3)
        std::memcpy(out, palette[in[c]], 4);
    std::memcpy(out, palette[in[last]], 3);
}

void bgr24Row(const unsigned char* in, unsigned char* out, int width)
{
    int c = 0;
    // Two pixels per 8-byte word, which reaches 2 bytes into a third pixel.
    const uint64_t lowBytes = 0xff0000ffull;
    for (; c + 3 <= width; c += 2, in += 6, out += 6)
        store64(out, swapRedBlue(load64(in), lowBytes));
    for (; c < width; ++c, in += 3, out += 3)
        swapPixel(in, out);
}

void bgr32Row(const unsigned char* in, unsigned char* out, int width)
{
    const uint32_t lowBytes = 0xff;
    const int last = width - 1;
    for (int c = 0; c < last; ++c, in += 4, out += 3)
        store32(out, swapRedBlue(load32(in), lowBytes));
    swapPixel(in, out);
}

void masked16Row(const unsigned char* in, unsigned char* out, int width,
                 const ChannelTables& channels)
{
    maskedRow<2>(in, out, width, channels);
}

void masked32Row(const unsigned char* in, unsigned char* out, int width,
                 const ChannelTables& channels)
{
    maskedRow<4>(in, out, width, channels);
}

void repeatPixels(unsigned char* out, size_t count, const uint8_t* even, const uint8_t* odd)
{
    if (count == 0)
        return;
    // Two pixels per step, four bytes a store; the last pixel gets exactly three.
    size_t i = 0;
    for (; i + 2 < count; i += 2, out += 6) {
        std::memcpy(out, even, 4);
        std::memcpy(out + 3, odd, 4);
    }
    if (i + 1 < count) {
        std::memcpy(out, even, 4);
        std::memcpy(out + 3, odd, 3);
    } else {
        std::memcpy(out, even, 3);
    }
}
