#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "tests/image/BmpTestSupport.h"
#include "tests/support/BmpBuilder.h"
#include "tests/support/TempDir.h"

namespace {

BmpBuilder file24(int width, int height)
{
    std::vector<uint32_t> values;
    values.reserve(size_t(width) * size_t(height));
    for (int i = 0; i < width * height; ++i)
        values.push_back(0x102030u * uint32_t(i + 1));
    return file(width, height, 24, BmpBuilder::storeRows(width, height, 24, values));
}

Bytes cut(const Bytes& bytes, size_t begin, size_t end)
{
    return Bytes(bytes.begin() + long(begin), bytes.begin() + long(end));
}

} // namespace

TEST(BmpLoader, ColorCountFollowsHeaderFormAndColorsUsed)
{
    const struct {
        uint32_t headerSize;
        uint16_t bitCount;
        uint32_t colorsUsed;
        int count;
    } cases[] = {
        {12, 1, 0, 2},     {12, 4, 0, 16},    {12, 8, 0, 256},  {12, 24, 0, 0},
        {40, 1, 0, 2},     {40, 4, 0, 16},    {40, 8, 0, 256},  {40, 16, 0, 0},
        {40, 32, 0, 0},    {40, 7, 0, 0},     {40, 8, 16, 16},  {40, 24, 3, 3},
        {40, 8, 65541, 5}, {40, 8, 65536, 0}, {108, 8, 0, 256}, // other sizes read as 40
    };
    for (const auto& c : cases) {
        BmpBuilder b;
        b.fileHeader = false;
        b.headerSize = c.headerSize;
        b.bitCount = c.bitCount;
        b.colorsUsed = c.colorsUsed;
        EXPECT_EQ(c.count, dibColorCount(b.build().data()))
            << c.headerSize << " " << c.bitCount << " " << c.colorsUsed;
    }
}

// Ways of laying out the same picture that must decode like the plain file.
TEST(BmpLoader, LayoutsOfOnePictureDecodeAlike)
{
    const Bytes plain = decode(file24(3, 2).build()).rgb();
    // Without a file header the pixels follow the colour table, needed or not.
    BmpBuilder b = file24(3, 2);
    b.fileHeader = false;
    b.colorsUsed = 2;
    b.colors = {0x111111, 0x222222};
    EXPECT_EQ(plain, decode(b.build()).rgb());
    // The file header's offset says where the pixels begin.
    b = file24(3, 2);
    b.pixelOffset = 54 + 6;
    b.pixels.insert(b.pixels.begin(), 6, 0x99);
    EXPECT_EQ(plain, decode(b.build()).rgb());
    // 8 bits with 16 colours used: 16 entries, then the pixels.
    BmpBuilder indexed = file(2, 1, 8, {1, 15, 0, 0}, greys(16));
    const Bytes withFileHeader = decode(indexed.build()).rgb();
    indexed.fileHeader = false;
    EXPECT_EQ(withFileHeader, decode(indexed.build()).rgb());
    EXPECT_EQ(Bytes({0x10, 0x10, 0x10, 0xf0, 0xf0, 0xf0}), withFileHeader);

    // A core header needs only its 12 bytes: a whole file can be shorter than an
    // information header.
    BmpBuilder tiny = file24(1, 1);
    tiny.headerSize = 12;
    tiny.fileHeader = false;
    EXPECT_EQ(cut(plain, 0, 3), decode(tiny.build()).rgb());

    // A core header's sizes are unsigned 16-bit values; its colours are 3 bytes each.
    std::vector<uint32_t> colors(256, 0);
    colors[1] = 0x123456;
    BmpBuilder core = file(40000, 1, 8, Bytes(40000, 1), colors);
    core.headerSize = 12;
    const Decoded wide = decode(core.build());
    ASSERT_TRUE(wide.image);
    EXPECT_EQ(40000, wide.image->width);
    EXPECT_EQ(Bytes({0x12, 0x34, 0x56}), cut(wide.rgb(), 3 * size_t(39999), 3 * size_t(40000)));
}

// Every refusal gives no image and exactly one line with its message.
TEST(BmpLoader, RefusedFilesSayWhy)
{
    const Bytes good = file24(2, 2).build();
    const Bytes palette = file(4, 1, 8, {0, 0, 0, 0}, std::vector<uint32_t>(256)).build();
    // The good file with one little-endian field overwritten: offsets 10 (pixel
    // offset), 14 (header size), 18 (width), 22 (height), 26 (planes), 28 (bit
    // count), 30 (compression).
    const auto patched = [&](size_t at, size_t size, uint32_t value) {
        Bytes f = good;
        for (size_t i = 0; i < size; ++i)
            f.at(at + i) = uint8_t(value >> (8 * i));
        return f;
    };
    const auto sized = [](int32_t width, int32_t height) { // no pixels: only the size counts
        return file(width, height, 1, {}, {0, 0xffffff}).build();
    };
    const struct {
        const char* what;
        Bytes file;
        const char* message;
    } cases[] = {
        {"header size 108", patched(14, 4, 108), unknownFormat},
        {"header size 124", patched(14, 4, 124), unknownFormat},
        {"header size 0", patched(14, 4, 0), unknownFormat},
        {"bit count 7", patched(28, 2, 7), conversionError},
        {"bit count 0", patched(28, 2, 0), conversionError},
        {"bit count 64", patched(28, 2, 64), conversionError},
        {"width 0", patched(18, 4, 0), conversionError},
        {"negative width", patched(18, 4, uint32_t(-2)), conversionError},
        {"height 0", patched(22, 4, 0), conversionError},
        {"two planes", patched(26, 2, 2), conversionError},
        {"compression 4", patched(30, 4, 4), conversionError},
        {"run-length 8 on 24 bits", patched(30, 4, 1), conversionError},
        {"bit fields on 24 bits", patched(30, 4, 3), conversionError},
        {"pixel offset past the end", patched(10, 4, 0xffffffff), conversionError},
        {"scattered mask", bitFields(1, 32, {0, 0, 0, 0}, {0xff0000, 0xf00f, 0xf0}).build(),
         conversionError},
        {"no bit-field masks", bitFields(1, 32, {}, {}).build(), conversionError},
        {"empty", {}, conversionError},
        {"cut in the file header", cut(good, 0, 13), conversionError},
        {"cut in the bitmap header", cut(good, 0, 30), conversionError},
        {"cut in the rows", cut(good, 0, good.size() - 1), conversionError},
        {"no file header, cut in the rows", cut(good, 14, good.size() - 1), conversionError},
        {"cut in the colour table", cut(palette, 0, 54 + 1023), conversionError},
        {"run-length stream stops in a run", runLength(4, 1, false, {2}).build(), conversionError},
        {"run-length stream stops in an escape", runLength(4, 1, false, {0, 2, 1}).build(),
         conversionError},
        {"run-length stretch past the end", runLength(4, 1, false, {0, 3, 1, 2}).build(),
         conversionError},
        {"run-length without end", runLength(4, 1, false, {1, 1, 0}).build(), conversionError},
        {"over 2^28 pixels", sized(16385, 16384), outOfMemory},
        {"over 2^28 pixels, top-down", sized(16384, -16385), outOfMemory},
        {"huge", sized(INT_MAX, INT_MAX), outOfMemory},
        {"height INT_MIN", sized(1, INT_MIN), outOfMemory},
        {"exactly 2^28 pixels, but no rows", sized(16384, 16384), conversionError},
    };
    for (const auto& c : cases) {
        const Decoded d = decode(c.file);
        EXPECT_FALSE(d.image) << c.what;
        EXPECT_EQ(errorLine(c.message), d.errors) << c.what;
    }
}

TEST(BmpLoader, ReadsFilesByName)
{
    TempDir dir;
    const Bytes bytes = file24(3, 2).build();
    const std::string good = dir.write("good.bmp", bytes);
    const std::string bad = dir.write("bad.bmp", cut(bytes, 0, bytes.size() - 1));
    const std::string empty = dir.write("empty.bmp", {});
    const std::string one = dir.write("one.bmp", {'B'}); // short, but it opens

    const Decoded d = load(good);
    ASSERT_TRUE(d.image);
    EXPECT_EQ("", d.errors);
    EXPECT_EQ(decode(bytes).rgb(), d.rgb());
    EXPECT_TRUE(load("good.bmp").image); // a relative name, from the working directory
    EXPECT_EQ(errorLine(conversionError), load(bad).errors);
    EXPECT_EQ(errorLine(conversionError), load(one).errors);
    // Missing, empty and unmappable files (a folder) fail to open; the name is as given.
    for (const std::string& name : {std::string("surface.bmp"), empty, dir.path})
        EXPECT_EQ("Error: Failed to open DIB file " + name + ".\n", load(name).errors);

    // A name too long for the message is cut: 255 characters of text, ending ".\n".
    const std::string name = "/nonexistent/" + std::string(5000, 'n') + ".bmp";
    const std::string text = "Failed to open DIB file " + name.substr(0, 255 - 26) + ".\n";
    ASSERT_EQ(255u, text.size());
    EXPECT_EQ("Error: " + text, load(name).errors);
}

// A program may show each failure as well: its notice comes after the line, with
// the caption and the line's text.
TEST(BmpLoader, AProgramsNoticeFollowsEachLine)
{
    static std::string notices;
    setBmpErrorNotice([](const char* caption, const char* text) {
        std::fputs("[notice]", stderr);
        notices += std::string(caption) + ": " + text + "|";
    });
    const std::string missing = "/nonexistent/surface.bmp";
    const std::string openText = "Failed to open DIB file " + missing + ".\n";
    const Decoded opened = load(missing);
    const Decoded decoded = decode({0x42, 0x4d});
    setBmpErrorNotice(nullptr);
    const Decoded unnoticed = decode({0x42, 0x4d});
    EXPECT_EQ("Error: " + openText + "[notice]", opened.errors);
    EXPECT_EQ(errorLine(conversionError) + "[notice]", decoded.errors);
    EXPECT_EQ(errorLine(conversionError), unnoticed.errors);
    EXPECT_EQ("Error: " + openText + "|Error: " + conversionError + "|", notices);
}
