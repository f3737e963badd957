#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "tests/image/BmpTestSupport.h"
#include "tests/support/BmpBuilder.h"

namespace {

BmpBuilder with(BmpBuilder b, const std::function<void(BmpBuilder&)>& change)
{
    change(b);
    return b;
}

// The red channel of each output pixel: with grey palettes, index * 16.
Bytes reds(const Bytes& rgb)
{
    Bytes out;
    for (size_t i = 0; i < rgb.size(); i += 3)
        out.push_back(rgb[i]);
    return out;
}

} // namespace

// The seed files hold one 5 x 3 picture in each form the decoder reads: 1, 4, 8,
// 16, 24 and 32 bits, core and information headers, with and without the file
// header, bit fields, top-down rows. All but the two-colour one decode alike.
TEST(BmpDecoder, EveryFormOfOnePictureDecodesAlike)
{
    const auto read = [](const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return decode(Bytes(std::istreambuf_iterator<char>(in), {}));
    };
    const Decoded reference = read(std::string(MARBLE_BMP_SEEDS) + "/info24.bmp");
    int forms = 0;
    for (const auto& seed : std::filesystem::directory_iterator(MARBLE_BMP_SEEDS)) {
        const Decoded d = read(seed.path());
        const std::string name = seed.path().filename().string();
        ASSERT_TRUE(d.image) << name << ": " << d.errors;
        EXPECT_EQ(name == "info1.bmp" ? Bytes(d.rgb()) : reference.rgb(), d.rgb()) << name;
        forms += d.image->width == 5 && d.image->height == 3;
    }
    EXPECT_EQ(13, forms);
}

TEST(BmpDecoder, EveryDepthAndWidthComesOutPackedWithoutFillBytes)
{
    // Widths around each row loop's stride, and rows whose pixels end exactly on
    // the 4-byte boundary: the tails must come out like the rest. Indexed pixels
    // take grey entries; direct ones have red, green and blue apart, odd and even.
    for (int bits : {1, 4, 8, 24, 32}) {
        for (int width : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 15, 16, 17, 19, 32, 33}) {
            std::vector<uint32_t> values;
            for (uint32_t x = 0; x < uint32_t(2 * width); ++x)
                values.push_back(bits == 1   ? x % 3 == 0
                                 : bits <= 8 ? x * 7 % 16
                                             : (x * 0x25170b + 0x010307) & 0xffffff);
            BmpBuilder b = file(width, 2, bits, {}, greys(bits == 1 ? 2 : bits <= 8 ? 16 : 0));
            b.pixels = BmpBuilder::storeRows(width, 2, bits, values);
            const size_t stride = b.pixels.size() / 2, used = (size_t(width) * bits + 7) / 8;
            for (size_t i = 0; i < b.pixels.size(); ++i)
                if (i % stride >= used)
                    b.pixels[i] = 0xee; // fill bytes must never show
            const Decoded d = decode(b.build());
            ASSERT_TRUE(d.image) << bits << " bits, width " << width;
            Bytes expected;
            for (uint32_t v : values) {
                const uint32_t rgb = bits <= 8 ? v * 16 * 0x010101 : v;
                expected.insert(expected.end(),
                                {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
            }
            EXPECT_EQ(expected, d.rgb()) << bits << " bits, width " << width;
        }
    }
}

// Files of a row or a few, and the red, green, blue bytes they decode to (the order
// of pixels within a byte is the test of every depth and width above). The
// run-length files have grey palettes: for them only the reds are listed.
TEST(BmpDecoder, PixelsDecodeToTheirColors)
{
    const struct {
        const char* what;
        BmpBuilder file;
        Bytes rgb;
    } cases[] = {
        {"8 bits: red, green, blue of the entry",
         file(2, 1, 8, {1, 0, 0, 0}, {0x112233, 0x445566}),
         {0x44, 0x55, 0x66, 0x11, 0x22, 0x33}},
        {"indices past the table take entry 0",
         file(2, 1, 8, {1, 255, 0, 0}, {0x0a0b0c, 0x102030}),
         {0x10, 0x20, 0x30, 0x0a, 0x0b, 0x0c}},
        {"colours used 65536 + 3: three entries",
         with(file(4, 1, 8, {2, 3, 0, 1}, {1, 2, 3}),
              [](BmpBuilder& b) {
                  b.colorsUsed = 65536 + 3;
                  b.fileHeader = false;
              }),
         {0, 0, 3, 0, 0, 1, 0, 0, 1, 0, 0, 2}},
        {"colours used 65536: no entries, black",
         with(file(2, 1, 8, {1, 0, 0, 0}), [](BmpBuilder& b) { b.colorsUsed = 65536; }),
         Bytes(6, 0)},
        {"16 bits: 5-bit channels widen by repeating their top, top bit ignored",
         file(2, 1, 16, {0x30, 0x7c, 0xe0, 0x83}),
         {255, 8, 132, 0, 255, 0}},
        {"32 bits: the fourth byte is ignored",
         file(2, 1, 32, {1, 2, 3, 0xff, 4, 5, 6, 0x80}),
         {3, 2, 1, 6, 5, 4}},
        {"bit fields 5-6-5 from the file",
         bitFields(2, 16, {0xe0, 0xff, 0x1f, 0x0c}, {0xf800, 0x07e0, 0x001f}),
         {255, 255, 0, 8, 130, 255}},
        {"bit fields: 12-bit red keeps its top, 1-bit green, no blue",
         bitFields(1, 32, {0x00, 0xab, 0xcd, 0x01}, {0x000fff00, 0x01000000, 0}),
         {0xda, 255, 0}},
        // A run, an absolute stretch with its pad byte, a run past the row end (dropped).
        {"RLE8 runs and stretches",
         runLength(8, 1, false, {2, 5, 0, 3, 1, 2, 3, 0, 9, 7, 0, 1}),
         {0x50, 0x50, 0x10, 0x20, 0x30, 0x70, 0x70, 0x70}},
        {"RLE4 runs alternate nibbles",
         runLength(9, 1, true, {3, 0x12, 0, 5, 0xab, 0xcd, 0xe0, 0, 1, 0xf0, 0, 1}),
         {0x10, 0x20, 0x10, 0xa0, 0xb0, 0xc0, 0xd0, 0xe0, 0xf0}},
        // End of line, a delta of 2 right and 1 up, a run cut at the row end, end of bitmap:
        // skipped pixels take entry 0.
        {"RLE escapes",
         runLength(4, 3, false, {1, 9, 0, 0, 1, 8, 0, 2, 2, 1, 2, 7, 0, 1, 5, 5}),
         {0x90, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0x70}},
        {"RLE delta off the top ends it",
         runLength(2, 2, false, {1, 3, 0, 2, 0, 9}),
         {0x30, 0, 0, 0}},
        {"RLE stream ending after the last row",
         runLength(1, 2, false, {1, 3, 0, 0, 1, 4, 0, 0}),
         {0x30, 0x40}},
    };
    for (const auto& c : cases) {
        const Decoded d = decode(c.file.build());
        ASSERT_TRUE(d.image) << c.what << ": " << d.errors;
        const bool runLength = c.file.compression == 1 || c.file.compression == 2;
        EXPECT_EQ(c.rgb, runLength ? reds(d.rgb()) : d.rgb()) << c.what;
    }
}
