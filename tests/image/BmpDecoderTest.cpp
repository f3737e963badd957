#include <gtest/gtest.h>

#include "tests/image/BmpTestSupport.h"
#include "tests/support/BmpBuilder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A one-row picture of the given pixel data; palette entries are 0xRRGGBB.
BmpBuilder row(int width, int bitCount, const Bytes& pixels,
               const std::vector<uint32_t>& colors = {})
{
    BmpBuilder b;
    b.width = width;
    b.height = 1;
    b.bitCount = uint16_t(bitCount);
    b.colors = colors;
    b.colorsUsed = uint32_t(colors.size());
    b.pixels = pixels;
    return b;
}

// Grey levels: colour i is (i, i, i) * 0x10, so each index is easy to read back.
std::vector<uint32_t> greys(int count)
{
    std::vector<uint32_t> out;
    out.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        out.push_back(0x101010u * uint32_t(i));
    return out;
}

// The red channel of each output pixel: with grey palettes, index * 16.
Bytes reds(const Decoded& d)
{
    Bytes out;
    const Bytes rgb = d.rgb();
    for (size_t i = 0; i < rgb.size(); i += 3)
        out.push_back(rgb[i]);
    return out;
}

BmpBuilder runLength(int width, int height, bool nibbles, const Bytes& stream)
{
    BmpBuilder b;
    b.width = width;
    b.height = height;
    b.bitCount = nibbles ? 4 : 8;
    b.compression = nibbles ? 2 : 1;
    b.colors = greys(16);
    b.colorsUsed = 16;
    b.pixels = stream;
    return b;
}

} // namespace

TEST(BmpDecoder, OneBitPixelsTakeTheSecondEntryWhenSetLeftmostInTheTopBit)
{
    const Decoded d =
        decode(row(10, 1, {0b10110000, 0b01000000, 0, 0}, {0x000000, 0xffffff}).build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(Bytes({255, 0, 255, 255, 0, 0, 0, 0, 0, 255}), reds(d));
}

TEST(BmpDecoder, FourBitPixelsHighNibbleFirst)
{
    const Decoded d = decode(row(3, 4, {0x1f, 0x70, 0, 0}, greys(16)).build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(Bytes({0x10, 0xf0, 0x70}), reds(d));
}

TEST(BmpDecoder, IndexedColorsAreRedGreenBlueOfTheEntry)
{
    const Decoded d = decode(row(2, 8, {1, 0, 0, 0}, {0x112233, 0x445566}).build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(Bytes({0x44, 0x55, 0x66, 0x11, 0x22, 0x33}), d.rgb());
}

TEST(BmpDecoder, SixteenBitPixelsWidenFiveBitsByRepeatingTheirTop)
{
    // Red 31, green 1, blue 16; then the top bit set with red 0, green 31, blue 0.
    const Decoded d = decode(row(2, 16, {0x30, 0x7c, 0xe0, 0x83}).build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(Bytes({255, 8, 132, 0, 255, 0}), d.rgb());
}

TEST(BmpDecoder, ThirtyTwoBitPixelsIgnoreTheirFourthByte)
{
    const Decoded d = decode(row(2, 32, {1, 2, 3, 0xff, 4, 5, 6, 0x80}).build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(Bytes({3, 2, 1, 6, 5, 4}), d.rgb());
}

TEST(BmpDecoder, EveryDepthDecodesEveryWidthOfShortRow)
{
    // Widths around each fast path's stride, and rows whose pixels end exactly on the
    // 4-byte boundary: the tails must come out like the rest, read from the row alone.
    for (int bits : {1, 4, 8, 24, 32}) {
        for (int width : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 19, 32, 33}) {
            SCOPED_TRACE(std::to_string(bits) + " bits, width " + std::to_string(width));
            std::vector<uint32_t> values;
            values.reserve(2 * size_t(width));
            for (int x = 0; x < 2 * width; ++x)
                values.push_back(bits == 1 ? uint32_t(x % 3 == 0) : uint32_t(x * 7 % 16));
            BmpBuilder b;
            b.width = width;
            b.height = 2;
            b.bitCount = uint16_t(bits);
            if (bits <= 8) {
                b.colors = greys(bits == 1 ? 2 : 16);
                b.colorsUsed = uint32_t(b.colors.size());
            } else {
                for (uint32_t& v : values)
                    v *= 0x101010;
            }
            b.pixels = BmpBuilder::storeRows(width, 2, bits, values);
            const Decoded d = decode(b.build());
            ASSERT_TRUE(d.image);
            Bytes expected;
            for (uint32_t v : values) {
                const uint8_t level = uint8_t(bits <= 8 ? v * 16 : v & 0xff);
                expected.insert(expected.end(), {level, level, level});
            }
            EXPECT_EQ(expected, d.rgb());
        }
    }
}

TEST(BmpDecoder, BitFieldMasksComeFromTheFileAndWidenToEightBits)
{
    // 5-6-5: red 31 and 1, green 63 and 32, blue 0 and 31.
    BmpBuilder b = row(2, 16, {0xe0, 0xff, 0x1f, 0x0c});
    b.compression = 3;
    b.masks = {0xf800, 0x07e0, 0x001f};
    const Decoded d565 = decode(b.build());
    ASSERT_TRUE(d565.image);
    EXPECT_EQ(Bytes({255, 255, 0, 8, 130, 255}), d565.rgb());

    // 32 bits: 12-bit red (0xdab) keeps its top 8 bits, 1-bit green is 0 or 255, no blue mask.
    b = row(1, 32, {0x00, 0xab, 0xcd, 0x01});
    b.compression = 3;
    b.masks = {0x000fff00, 0x01000000, 0};
    const Decoded d32 = decode(b.build());
    ASSERT_TRUE(d32.image);
    EXPECT_EQ(Bytes({0xda, 255, 0}), d32.rgb());
}

TEST(BmpDecoder, ScatteredBitFieldMasksAreRefused)
{
    BmpBuilder b = row(1, 32, {0, 0, 0, 0});
    b.compression = 3;
    b.masks = {0xff0000, 0xf00f, 0xf0};
    const Decoded d = decode(b.build());
    EXPECT_FALSE(d.image);
    EXPECT_EQ(errorLine(conversionError), d.errors);
}

TEST(BmpDecoder, RunLengthRunsAbsoluteStretchesAndTheirPadding)
{
    // RLE8: run of 2, absolute 3 with a pad byte, run past the row end (dropped).
    const Decoded d8 = decode(runLength(8, 1, false, {2, 5, 0, 3, 1, 2, 3, 0, 9, 7, 0, 1}).build());
    ASSERT_TRUE(d8.image);
    EXPECT_EQ(Bytes({0x50, 0x50, 0x10, 0x20, 0x30, 0x70, 0x70, 0x70}), reds(d8));

    // RLE4: a run alternates its two nibbles; absolute 5 is 3 bytes and a pad byte.
    const Decoded d4 =
        decode(runLength(9, 1, true, {3, 0x12, 0, 5, 0xab, 0xcd, 0xe0, 0, 1, 0xf0, 0, 1}).build());
    ASSERT_TRUE(d4.image);
    EXPECT_EQ(Bytes({0x10, 0x20, 0x10, 0xa0, 0xb0, 0xc0, 0xd0, 0xe0, 0xf0}), reds(d4));
}

TEST(BmpDecoder, RunLengthEscapesLeaveSkippedPixelsAtIndexZero)
{
    // 4 x 3: a run and end of line; a delta of 2 right and 1 up; a run; end of bitmap.
    const Decoded d =
        decode(runLength(4, 3, false, {1, 9, 0, 0, 1, 8, 0, 2, 2, 1, 1, 7, 0, 1, 5, 5}).build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(Bytes({0x90, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0x70}), reds(d));

    // A delta off the top ends the picture; a stream that simply stops after the last row too.
    const Decoded up = decode(runLength(2, 2, false, {1, 3, 0, 2, 0, 9}).build());
    ASSERT_TRUE(up.image);
    EXPECT_EQ(Bytes({0x30, 0, 0, 0}), reds(up));
    const Decoded rows = decode(runLength(1, 2, false, {1, 3, 0, 0, 1, 4, 0, 0}).build());
    ASSERT_TRUE(rows.image);
    EXPECT_EQ(Bytes({0x30, 0x40}), reds(rows));
}

TEST(BmpDecoder, RunLengthStreamsRunningOffTheEndAreRefused)
{
    for (const Bytes& stream : {Bytes{}, Bytes{2}, Bytes{2, 1}, Bytes{0, 2, 1},
                                Bytes{0, 3, 1, 2, 3}, Bytes{1, 1, 0}, Bytes{0, 4, 1, 2}}) {
        const Decoded d = decode(runLength(4, 1, false, stream).build());
        EXPECT_FALSE(d.image);
        EXPECT_EQ(errorLine(conversionError), d.errors) << stream.size() << " bytes";
    }
    BmpBuilder topDown = runLength(1, -1, false, {1, 1, 0, 1});
    EXPECT_EQ(errorLine(conversionError), decode(topDown.build()).errors);
}
