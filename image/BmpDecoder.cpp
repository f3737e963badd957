#include "image/BmpDecoder.h"

#include <algorithm>
#include <cstring>

#include "image/BmpRows.h"

namespace {

void copyPixel(unsigned char* out, const uint8_t* rgb)
{
    out[0] = rgb[0];
    out[1] = rgb[1];
    out[2] = rgb[2];
}

// Widens an n-bit channel value to 8 bits by repeating its bits below themselves,
// so that 0 stays 0 and the largest value becomes 255 (5 bits: v << 3 | v >> 2).
uint8_t widen(uint32_t v, int n)
{
    uint32_t result = 0;
    for (int shift = 8 - n; shift > -n; shift -= n)
        result |= shift >= 0 ? v << shift : v >> -shift;
    return uint8_t(result);
}

int lowestSetBit(uint32_t mask)
{
    int bit = 0;
    while (!(mask >> bit & 1))
        ++bit;
    return bit;
}

bool isContiguous(uint32_t mask)
{
    if (mask == 0)
        return true;
    const uint32_t run = mask >> lowestSetBit(mask);
    return (run & (run + 1)) == 0;
}

int bitsSet(uint32_t mask)
{
    int count = 0;
    for (; mask; mask &= mask - 1)
        ++count;
    return count;
}

// Index i of an absolute run-length stretch: whole bytes, or nibbles high one first.
template <bool nibbles> int indexAt(const unsigned char* data, int i)
{
    return nibbles ? data[i / 2] >> (i % 2 ? 0 : 4) & 15 : data[i];
}

} // namespace

BmpDecoder::BmpDecoder(const BmpSource& source, const unsigned char* pixels, size_t available,
                       const uint32_t fileMasks[3])
    : source(source), pixels(pixels), available(available), format(Format::invalid),
      width(source.width), rowCount(0), masks{fileMasks[0], fileMasks[1], fileMasks[2]}, palette(),
      byteColors(), channels()
{
    if (source.height != INT32_MIN)
        rowCount = source.height < 0 ? -source.height : source.height;
    format = formatOf();
    if (source.compression == bmpRgb && source.bitCount == 16) {
        masks[0] = 0x7c00; // 5-5-5, the top bit unused
        masks[1] = 0x03e0;
        masks[2] = 0x001f;
    }
}

BmpDecoder::Format BmpDecoder::formatOf() const
{
    if (width <= 0 || rowCount == 0 || source.planes != 1)
        return Format::invalid;
    const bool bottomUp = source.height > 0;
    switch (source.compression) {
    case bmpRgb:
        switch (source.bitCount) {
        case 1:
            return Format::indexed1;
        case 4:
            return Format::indexed4;
        case 8:
            return Format::indexed8;
        case 16:
            return Format::masked16;
        case 24:
            return Format::bgr24;
        case 32:
            return Format::bgr32;
        }
        return Format::invalid;
    case bmpRle8: // run-length data is always stored bottom-up
        return source.bitCount == 8 && bottomUp ? Format::rle8 : Format::invalid;
    case bmpRle4:
        return source.bitCount == 4 && bottomUp ? Format::rle4 : Format::invalid;
    case bmpBitFields:
        if (source.bitCount == 16)
            return Format::masked16;
        if (source.bitCount == 32)
            return Format::masked32;
        return Format::invalid;
    }
    return Format::invalid;
}

bool BmpDecoder::canDecode() const
{
    switch (format) {
    case Format::invalid:
        return false;
    case Format::rle8:
    case Format::rle4:
        return true; // bounded while the stream is read
    case Format::masked16:
    case Format::masked32:
        if (!masksUsable())
            return false;
        break;
    default:
        break;
    }
    return size_t(rowCount) <= available / storedRowBytes();
}

bool BmpDecoder::masksUsable() const
{
    return isContiguous(masks[0]) && isContiguous(masks[1]) && isContiguous(masks[2]);
}

size_t BmpDecoder::storedRowBytes() const
{
    return (uint64_t(width) * source.bitCount + 31) / 32 * 4;
}

bool BmpDecoder::decode(unsigned char* out)
{
    if (format == Format::masked16 || format == Format::masked32)
        buildMaskTables();
    else
        buildPalette();
    if (format == Format::rle8)
        return decodeRle<false>(out);
    if (format == Format::rle4)
        return decodeRle<true>(out);
    decodeRows(out);
    return true;
}

void BmpDecoder::buildPalette()
{
    // Indices past the table take its first entry; a table with no entries gives black.
    const BmpColor none = {0, 0, 0, 0};
    const BmpColor& first = source.colorCount > 0 ? source.colors[0] : none;
    for (int i = 0; i < 256; ++i) {
        const BmpColor& c = i < source.colorCount ? source.colors[i] : first;
        palette[i][0] = c.red;
        palette[i][1] = c.green;
        palette[i][2] = c.blue;
        palette[i][3] = 0;
    }
    const int bits = format == Format::indexed1 ? 1 : format == Format::indexed4 ? 4 : 0;
    if (bits == 0)
        return;
    const int perByte = 8 / bits;
    const int indexMask = (1 << bits) - 1;
    for (int b = 0; b < 256; ++b) {
        for (int k = 0; k < perByte; ++k) // leftmost pixel in the most significant bits
            copyPixel(byteColors[b] + 3 * size_t(k),
                      palette[b >> (8 - bits * (k + 1)) & indexMask]);
    }
}

void BmpDecoder::buildMaskTables()
{
    // The tables start zeroed (the constructor value-initialises them), so a channel
    // without a mask reads as 0.
    for (int ch = 0; ch < 3; ++ch) {
        if (masks[ch] == 0)
            continue;
        // Channels wider than 8 bits keep their top 8.
        const int bits = bitsSet(masks[ch]);
        const int kept = std::min(bits, 8);
        channels.shift[ch] = lowestSetBit(masks[ch]) + bits - kept;
        channels.mask[ch] = (1u << kept) - 1;
        for (uint32_t v = 0; v <= channels.mask[ch]; ++v)
            channels.level[ch][v] = widen(v, kept);
    }
}

void BmpDecoder::decodeRows(unsigned char* out) const
{
    const size_t stride = storedRowBytes();
    const size_t outStride = size_t(width) * 3;
    const bool topDown = source.height < 0;
    for (int r = 0; r < rowCount; ++r) {
        const int outRow = topDown ? rowCount - 1 - r : r;
        decodeRow(pixels + r * stride, out + outRow * outStride);
    }
}

void BmpDecoder::decodeRow(const unsigned char* in, unsigned char* out) const
{
    switch (format) {
    case Format::indexed1:
        return indexed1Row(in, out, width, byteColors);
    case Format::indexed4:
        return indexed4Row(in, out, width, byteColors);
    case Format::indexed8:
        return indexed8Row(in, out, width, palette);
    case Format::masked16:
        return masked16Row(in, out, width, channels);
    case Format::bgr24:
        return bgr24Row(in, out, width);
    case Format::bgr32:
        return bgr32Row(in, out, width);
    case Format::masked32:
        return masked32Row(in, out, width, channels);
    default:
        return;
    }
}

template <bool nibbles> bool BmpDecoder::decodeRle(unsigned char* out) const
{
    // The cursor only moves forward, so pixels it skips (delta, end of line, end of
    // bitmap) are final as soon as it passes them: they take colour 0 right then.
    const unsigned char* stream = pixels;
    const size_t length = available;
    const int columns = width;
    const int rows = rowCount;
    const size_t total = size_t(columns) * size_t(rows);
    size_t pos = 0;
    int x = 0; // stays within 0..columns: pixels past the row end are dropped
    int y = 0;
    while (y < rows) {
        if (length - pos < 2)
            return false;
        const int count = stream[pos];
        const int value = stream[pos + 1];
        pos += 2;
        const size_t at = size_t(y) * size_t(columns) + size_t(x);
        if (count > 0) { // a run of count pixels; 4-bit runs alternate the two nibbles
            const int n = std::min(count, columns - x);
            repeatPixels(out + 3 * at, size_t(n), palette[nibbles ? value >> 4 : value],
                         palette[nibbles ? value & 15 : value]);
            x += n;
            continue;
        }
        if (value == 1) // end of bitmap
            break;
        if (value == 0 || value == 2) { // end of line, or delta: move right and up
            int dx = 0;
            int dy = 1;
            if (value == 2) {
                if (length - pos < 2)
                    return false;
                dx = stream[pos];
                dy = stream[pos + 1];
                pos += 2;
            }
            x = value == 0 ? 0 : std::min(x + dx, columns);
            y += dy;
            const size_t to = std::min(size_t(y) * size_t(columns) + size_t(x), total);
            repeatPixels(out + 3 * at, to - at, palette[0], palette[0]);
            continue;
        }
        // Absolute stretch of value indices, padded to a 2-byte boundary.
        const size_t bytes = nibbles ? (size_t(value) + 1) / 2 : size_t(value);
        const size_t padded = (bytes + 1) & ~size_t(1);
        if (length - pos < padded)
            return false;
        const int n = std::min(value, columns - x);
        for (int i = 0; i < n; ++i)
            copyPixel(out + 3 * (at + size_t(i)), palette[indexAt<nibbles>(stream + pos, i)]);
        x += n;
        pos += padded;
    }
    const size_t at = std::min(size_t(y) * size_t(columns) + size_t(x), total);
    repeatPixels(out + 3 * at, total - at, palette[0], palette[0]);
    return true;
}
