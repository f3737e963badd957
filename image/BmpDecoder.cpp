#include "image/BmpDecoder.h"

#include <algorithm>
#include <cstring>

#include "image/LittleEndian.h"

namespace {

// Swaps the outer bytes of each 3-byte group: blue, green, red becomes red, green, blue.
// A 32-bit value holds one pixel in its low 3 bytes, a 64-bit value two in its low 6.
template <typename Word> Word swapRedBlue(Word v, Word lowBytes)
{
    return (v & (lowBytes << 8)) | (v & lowBytes) << 16 | (v >> 16 & lowBytes);
}

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
      byteColors(), channelShift(), channelMask(), channelLevel()
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
            copyPixel(byteColors[b] + 3 * k, palette[b >> (8 - bits * (k + 1)) & indexMask]);
    }
}

void BmpDecoder::buildMaskTables()
{
    for (int ch = 0; ch < 3; ++ch) {
        channelShift[ch] = 0;
        channelMask[ch] = 0;
        channelLevel[ch][0] = 0;
        if (masks[ch] == 0)
            continue;
        // Channels wider than 8 bits keep their top 8.
        const int bits = bitsSet(masks[ch]);
        const int kept = std::min(bits, 8);
        channelShift[ch] = lowestSetBit(masks[ch]) + bits - kept;
        channelMask[ch] = (1u << kept) - 1;
        for (uint32_t v = 0; v <= channelMask[ch]; ++v)
            channelLevel[ch][v] = widen(v, kept);
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
        return indexed1Row(in, out);
    case Format::indexed4:
        return indexed4Row(in, out);
    case Format::indexed8:
        return indexed8Row(in, out);
    case Format::masked16:
        return maskedRow<2>(in, out);
    case Format::bgr24:
        return bgr24Row(in, out);
    case Format::bgr32:
        return bgr32Row(in, out);
    case Format::masked32:
        return maskedRow<4>(in, out);
    default:
        return;
    }
}

void BmpDecoder::indexed1Row(const unsigned char* in, unsigned char* out) const
{
    const int wholeBytes = width / 8;
    for (int i = 0; i < wholeBytes; ++i, out += 24)
        std::memcpy(out, byteColors[in[i]], 24);
    if (width % 8) // a byte only partly used; a row that ends on a byte boundary has none
        std::memcpy(out, byteColors[in[wholeBytes]], size_t(width % 8) * 3);
}

void BmpDecoder::indexed4Row(const unsigned char* in, unsigned char* out) const
{
    const int wholeBytes = width / 2;
    for (int i = 0; i < wholeBytes; ++i, out += 6)
        std::memcpy(out, byteColors[in[i]], 6);
    if (width % 2)
        std::memcpy(out, byteColors[in[wholeBytes]], 3);
}

void BmpDecoder::indexed8Row(const unsigned char* in, unsigned char* out) const
{
    // Four bytes per pixel are stored, the fourth overwritten by the next pixel; the
    // last pixel of the row gets exactly three so nothing is written past the row.
    const int last = width - 1;
    for (int c = 0; c < last; ++c, out += 3)
        std::memcpy(out, palette[in[c]], 4);
    copyPixel(out, palette[in[last]]);
}

void BmpDecoder::bgr24Row(const unsigned char* in, unsigned char* out) const
{
    // Two pixels per 8-byte word; the word reaches 2 bytes into the next pixel, so the
    // last pixel or two of the row go one by one.
    const uint64_t lowBytes = 0xff0000ffull;
    int c = 0;
    for (; c + 2 < width; c += 2, in += 6, out += 6)
        store64(out, swapRedBlue(load64(in), lowBytes));
    for (; c < width; ++c, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

void BmpDecoder::bgr32Row(const unsigned char* in, unsigned char* out) const
{
    const uint32_t lowBytes = 0x0000ff;
    const int last = width - 1;
    for (int c = 0; c < last; ++c, in += 4, out += 3)
        store32(out, swapRedBlue(load32(in), lowBytes));
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
}

template <int bytesPerPixel>
void BmpDecoder::maskedRow(const unsigned char* in, unsigned char* out) const
{
    for (int c = 0; c < width; ++c, in += bytesPerPixel, out += 3) {
        const uint32_t v = bytesPerPixel == 2 ? load16(in) : load32(in);
        for (int ch = 0; ch < 3; ++ch)
            out[ch] = channelLevel[ch][v >> channelShift[ch] & channelMask[ch]];
    }
}

template <bool nibbles> bool BmpDecoder::decodeRle(unsigned char* out) const
{
    // The cursor only moves forward, so pixels it skips (delta, end of line, end of
    // bitmap) are final as soon as it passes them: they take colour 0 right then.
    const size_t total = size_t(width) * size_t(rowCount);
    size_t pos = 0;
    int x = 0; // stays within 0..width: pixels past the row end are dropped
    int y = 0;
    while (y < rowCount) {
        if (available - pos < 2)
            return false;
        const int count = pixels[pos];
        const int value = pixels[pos + 1];
        pos += 2;
        const size_t at = size_t(y) * size_t(width) + size_t(x);
        if (count > 0) { // a run of count pixels; 4-bit runs alternate the two nibbles
            const int n = std::min(count, width - x);
            const uint8_t* even = palette[nibbles ? value >> 4 : value];
            const uint8_t* odd = palette[nibbles ? value & 15 : value];
            for (int i = 0; i < n; ++i)
                copyPixel(out + 3 * (at + size_t(i)), i % 2 ? odd : even);
            x += n;
            continue;
        }
        if (value == 1) // end of bitmap
            break;
        if (value == 0 || value == 2) { // end of line, or delta: move right and up
            int dx = 0;
            int dy = 1;
            if (value == 2) {
                if (available - pos < 2)
                    return false;
                dx = pixels[pos];
                dy = pixels[pos + 1];
                pos += 2;
            }
            x = value == 0 ? 0 : std::min(x + dx, width);
            y += dy;
            fillSkipped(out, at, std::min(size_t(y) * size_t(width) + size_t(x), total));
            continue;
        }
        // Absolute stretch of value indices, padded to a 2-byte boundary.
        const size_t bytes = nibbles ? (size_t(value) + 1) / 2 : size_t(value);
        const size_t padded = (bytes + 1) & ~size_t(1);
        if (available - pos < padded)
            return false;
        const int n = std::min(value, width - x);
        for (int i = 0; i < n; ++i)
            copyPixel(out + 3 * (at + size_t(i)), palette[indexAt<nibbles>(pixels + pos, i)]);
        x += n;
        pos += padded;
    }
    if (y < rowCount)
        fillSkipped(out, size_t(y) * size_t(width) + size_t(x), total);
    return true;
}

void BmpDecoder::fillSkipped(unsigned char* out, size_t from, size_t to) const
{
    for (size_t i = from; i < to; ++i)
        copyPixel(out + 3 * i, palette[0]);
}
