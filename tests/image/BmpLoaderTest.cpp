#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/image/BmpSamples.h"
#include "tests/image/BmpTestSupport.h"
#include "tests/support/BmpBuilder.h"

namespace {

// A fresh folder for the files a test writes, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/marble-bmp-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(path); }

    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::string file = path + "/" + name;
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return file;
    }

    std::string path;
};

int openDescriptors()
{
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (readdir(dir))
        ++count;
    closedir(dir);
    return count;
}

bool isMapped(const std::string& file)
{
    std::ifstream maps("/proc/self/maps");
    const std::string text((std::istreambuf_iterator<char>(maps)),
                           std::istreambuf_iterator<char>());
    return text.find(file) != std::string::npos;
}

BmpBuilder file24(int width, int height)
{
    BmpBuilder b;
    b.width = width;
    b.height = height;
    std::vector<uint32_t> values;
    values.reserve(size_t(width) * size_t(height));
    for (int i = 0; i < width * height; ++i)
        values.push_back(0x102030u * uint32_t(i + 1));
    b.pixels = BmpBuilder::storeRows(width, height, 24, values);
    return b;
}

} // namespace

TEST(BmpLoader, EverySampleFormDecodesToItsPicture)
{
    for (const bmpSamples::Sample& sample : bmpSamples::all()) {
        SCOPED_TRACE(sample.name);
        const Decoded d = decode(sample.file);
        ASSERT_TRUE(d.image);
        EXPECT_EQ("", d.errors);
        EXPECT_EQ(bmpSamples::width, d.image->width);
        EXPECT_EQ(bmpSamples::height, d.image->height);
        EXPECT_EQ(sample.rgb, d.rgb());
    }
}

TEST(BmpLoader, SmallFileWithFileHeaderIsRepackedAsRedGreenBlue)
{
    const BmpBuilder b = file24(4, 2);
    const Decoded d = decode(b.build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(4, d.image->width);
    EXPECT_EQ(2, d.image->height);
    const std::vector<uint8_t> rgb = d.rgb();
    ASSERT_EQ(24u, rgb.size());
    EXPECT_EQ(b.pixels[2], rgb[0]); // bottom-left pixel
    EXPECT_EQ(b.pixels[1], rgb[1]);
    EXPECT_EQ(b.pixels[0], rgb[2]);
    EXPECT_EQ(b.pixels[14], rgb[12]); // left pixel of the top row
    EXPECT_EQ(b.pixels[12], rgb[14]);
}

TEST(BmpLoader, RowFillBytesAreSkippedAndOutputRowsPacked)
{
    for (int width : {1, 2, 3, 5}) {
        SCOPED_TRACE(width);
        BmpBuilder b = file24(width, 3);
        const size_t stride = b.pixels.size() / 3;
        EXPECT_EQ(size_t((width * 3 + 3) / 4 * 4), stride);
        for (size_t i = 0; i < b.pixels.size(); ++i) {
            if (i % stride >= size_t(width) * 3)
                b.pixels[i] = 0xee; // fill bytes must never show up
        }
        const Decoded d = decode(b.build());
        ASSERT_TRUE(d.image);
        std::vector<uint8_t> expected;
        for (int i = 0; i < width * 3; ++i) {
            const uint32_t v = 0x102030u * uint32_t(i + 1);
            expected.insert(expected.end(), {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
        }
        EXPECT_EQ(expected, d.rgb());
    }
}

TEST(BmpLoader, ColorCountFollowsHeaderFormAndColorsUsed)
{
    const auto count = [](uint32_t headerSize, uint16_t bitCount, uint32_t colorsUsed) {
        BmpBuilder b;
        b.fileHeader = false;
        b.headerSize = headerSize;
        b.bitCount = bitCount;
        b.colorsUsed = colorsUsed;
        return dibColorCount(b.build().data());
    };
    EXPECT_EQ(2, count(12, 1, 0));
    EXPECT_EQ(16, count(12, 4, 0));
    EXPECT_EQ(256, count(12, 8, 0));
    EXPECT_EQ(0, count(12, 24, 0));
    EXPECT_EQ(2, count(40, 1, 0));
    EXPECT_EQ(16, count(40, 4, 0));
    EXPECT_EQ(256, count(40, 8, 0));
    EXPECT_EQ(0, count(40, 16, 0));
    EXPECT_EQ(0, count(40, 24, 0));
    EXPECT_EQ(0, count(40, 32, 0));
    EXPECT_EQ(0, count(40, 7, 0));
    EXPECT_EQ(16, count(40, 8, 16));
    EXPECT_EQ(3, count(40, 24, 3));
    EXPECT_EQ(5, count(40, 8, 65536 + 5)); // only the low 16 bits count
    EXPECT_EQ(0, count(40, 8, 65536));
    EXPECT_EQ(256, count(108, 8, 0)); // other sizes are read like an information header
}

TEST(BmpLoader, PixelsFollowTheColorTableWithoutFileHeader)
{
    // 24-bit with two colours used: a table nobody needs, but the pixels sit behind it.
    BmpBuilder b = file24(3, 2);
    b.fileHeader = false;
    b.colorsUsed = 2;
    b.colors = {0x111111, 0x222222};
    const Decoded withTable = decode(b.build());
    const Decoded plain = decode(file24(3, 2).build());
    ASSERT_TRUE(withTable.image);
    EXPECT_EQ(plain.rgb(), withTable.rgb());

    // 8-bit with 16 colours used: 16 entries, then the pixels.
    BmpBuilder indexed = bmpSamples::indexed(8, 16);
    indexed.colorsUsed = 16;
    indexed.fileHeader = false;
    const Decoded d = decode(indexed.build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(bmpSamples::expected(), d.rgb());
}

TEST(BmpLoader, FileHeaderOffsetIsWherePixelsBegin)
{
    BmpBuilder b = file24(2, 2);
    const std::vector<uint8_t> plain = b.build();
    b.pixelOffset = 54 + 6; // six unrelated bytes between header and pixels
    b.pixels.insert(b.pixels.begin(), 6, 0x99);
    const Decoded d = decode(b.build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(decode(plain).rgb(), d.rgb());
}

TEST(BmpLoader, CoreHeaderWidensUnsignedSizesAndReadsThreeByteColors)
{
    BmpBuilder b = bmpSamples::indexed(8, 256);
    b.headerSize = 12;
    b.width = 40000;
    b.height = 1;
    b.pixels.assign(40000, 1);
    const Decoded d = decode(b.build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(40000, d.image->width);
    EXPECT_EQ(1, d.image->height);
    const uint32_t c = bmpSamples::color(1);
    const auto* last = d.image->data + 3 * size_t(39999);
    EXPECT_EQ(std::vector<uint8_t>({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)}),
              std::vector<uint8_t>(last, last + 3));
}

TEST(BmpLoader, IndicesPastTheColorTableTakeEntryZero)
{
    BmpBuilder b = bmpSamples::picture(8, 2);
    b.colors = {0x0a0b0c, 0x102030};
    b.colorsUsed = 2;
    b.width = 3;
    b.height = 1;
    b.pixels = {1, 2, 255, 0};
    const Decoded d = decode(b.build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(std::vector<uint8_t>({0x10, 0x20, 0x30, 0x0a, 0x0b, 0x0c, 0x0a, 0x0b, 0x0c}),
              d.rgb());
}

TEST(BmpLoader, HugeColorsUsedReadsOnlyTheLow16BitsOfEntries)
{
    // 65536 + 3: three entries, and the pixels behind them.
    BmpBuilder b = bmpSamples::picture(8, 3);
    b.colors = {0x010203, 0x040506, 0x070809};
    b.colorsUsed = 65536 + 3;
    b.fileHeader = false;
    b.width = 4;
    b.height = 1;
    b.pixels = {2, 3, 0, 1};
    const Decoded d = decode(b.build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(std::vector<uint8_t>({7, 8, 9, 1, 2, 3, 1, 2, 3, 4, 5, 6}), d.rgb());

    // 65536: no entries at all, so every index is black.
    b.colors.clear();
    b.colorsUsed = 65536;
    const Decoded empty = decode(b.build());
    ASSERT_TRUE(empty.image);
    EXPECT_EQ(std::vector<uint8_t>(12, 0), empty.rgb());
}

TEST(BmpLoader, TopDownRowsComeBackBottomRowFirst)
{
    BmpBuilder b = bmpSamples::indexed(1, 2, 1);
    b.height = -b.height;
    // The stored rows stay as they are, so the picture comes out upside down.
    const Decoded d = decode(b.build());
    ASSERT_TRUE(d.image);
    EXPECT_EQ(bmpSamples::height, d.image->height);
    const std::vector<uint8_t> upright = bmpSamples::expected(1);
    const size_t row = size_t(bmpSamples::width) * 3;
    std::vector<uint8_t> flipped;
    for (int r = bmpSamples::height - 1; r >= 0; --r)
        flipped.insert(flipped.end(), upright.begin() + long(r * row),
                       upright.begin() + long((r + 1) * row));
    EXPECT_EQ(flipped, d.rgb());
}

TEST(BmpLoader, OtherHeaderSizesAreAnUnknownFormat)
{
    for (uint32_t size : {108u, 124u, 64u, 0u}) {
        BmpBuilder b = file24(2, 2);
        b.headerSize = size;
        const Decoded d = decode(b.build());
        EXPECT_FALSE(d.image);
        EXPECT_EQ(errorLine(unknownFormat), d.errors) << size;
    }
}

TEST(BmpLoader, UndecodableFilesAreAConversionError)
{
    const auto refused = [](const BmpBuilder& b, const char* what) {
        const Decoded d = decode(b.build());
        EXPECT_FALSE(d.image) << what;
        EXPECT_EQ(errorLine(conversionError), d.errors) << what;
    };
    for (uint16_t bits : {0, 2, 7, 15, 64}) {
        BmpBuilder b = file24(2, 2);
        b.bitCount = bits;
        b.pixels.resize(64);
        refused(b, "bit count");
    }
    BmpBuilder b = file24(2, 2);
    b.width = 0;
    refused(b, "width 0");
    b.width = -2;
    refused(b, "negative width");
    b = file24(2, 2);
    b.height = 0;
    refused(b, "height 0");
    b = file24(2, 2);
    b.planes = 2;
    refused(b, "two planes");
    for (uint32_t compression : {4u, 5u, 6u, 0x80000000u}) {
        b = file24(2, 2);
        b.compression = compression;
        refused(b, "compression");
    }
    b = file24(2, 2);
    b.compression = 1;
    refused(b, "run-length 8 on 24 bits");
    b.compression = 3;
    b.masks = {0xff0000, 0xff00, 0xff};
    refused(b, "bit fields on 24 bits");
}

TEST(BmpLoader, FilesShorterThanTheirHeadersSayAreRefused)
{
    const auto refused = [](const std::vector<uint8_t>& bytes, const char* what) {
        const Decoded d = decode(bytes);
        EXPECT_FALSE(d.image) << what;
        EXPECT_EQ(errorLine(conversionError), d.errors) << what;
    };
    const std::vector<uint8_t> good = file24(3, 2).build();
    for (size_t cut : {0, 1, 2, 13, 17, 30, 53, 54, 77})
        refused(std::vector<uint8_t>(good.begin(), good.begin() + long(cut)), "cut");
    refused(std::vector<uint8_t>(good.begin() + 14, good.end() - 1), "no file header, short rows");

    BmpBuilder b = file24(3, 2);
    b.pixelOffset = long(good.size()) + 1;
    refused(b.build(), "pixel offset past the end");
    b.pixelOffset = 0xffffffff;
    refused(b.build(), "pixel offset far past the end");

    std::vector<uint8_t> indexed = bmpSamples::indexed(8, 256).build();
    refused(std::vector<uint8_t>(indexed.begin(), indexed.begin() + 54 + 1023), "colour table");
    BmpBuilder core = bmpSamples::indexed(4, 16);
    core.headerSize = 12;
    core.fileHeader = false;
    core.pixels.clear();
    core.colors.pop_back();
    refused(core.build(), "core colour table");

    BmpBuilder fields = file24(2, 2);
    fields.fileHeader = false;
    fields.bitCount = 32;
    fields.compression = 3;
    fields.pixels.clear();
    refused(fields.build(), "bit-field masks");
}

TEST(BmpLoader, PicturesPastTheSizeLimitAreOutOfMemory)
{
    const auto decodeSize = [](int32_t width, int32_t height) {
        BmpBuilder b;
        b.bitCount = 1;
        b.colors = {0, 0xffffff};
        b.width = width;
        b.height = height;
        return decode(b.build()); // no pixel data: only the size can be judged
    };
    for (auto size : {std::pair<int32_t, int32_t>(16385, 16384),
                      {16384, -16385},
                      {INT_MAX, INT_MAX},
                      {-INT_MAX, 3},
                      {1, INT_MIN},
                      {65536, 65536}}) {
        const Decoded d = decodeSize(size.first, size.second);
        EXPECT_FALSE(d.image);
        EXPECT_EQ(errorLine(outOfMemory), d.errors) << size.first << " x " << size.second;
    }
    // Exactly 2^28 pixels passes the size test and fails only for the missing rows.
    EXPECT_EQ(errorLine(conversionError), decodeSize(16384, 16384).errors);
}

TEST(BmpLoader, ReadsFilesAndReleasesThem)
{
    TempDir dir;
    const std::vector<uint8_t> bytes = bmpSamples::all()[2].file;
    const std::string good = dir.write("surface.bmp", bytes);
    const std::string bad =
        dir.write("bad.bmp", std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));
    const int descriptors = openDescriptors();
    const Decoded d = load(good);
    ASSERT_TRUE(d.image);
    EXPECT_EQ("", d.errors);
    EXPECT_EQ(decode(bytes).rgb(), d.rgb());
    EXPECT_EQ(errorLine(conversionError), load(bad).errors);
    EXPECT_EQ(descriptors, openDescriptors());
    EXPECT_FALSE(isMapped(good));
    EXPECT_FALSE(isMapped(bad));
}

TEST(BmpLoader, MissingEmptyOrUnmappableFilesFailToOpen)
{
    TempDir dir;
    const std::string empty = dir.write("empty.bmp", {});
    const int descriptors = openDescriptors();
    for (const std::string& name : {dir.path + "/surface.bmp", empty, dir.path}) {
        const Decoded d = load(name);
        EXPECT_FALSE(d.image);
        EXPECT_EQ("Error: Failed to open DIB file " + name + ".\n", d.errors);
    }
    EXPECT_EQ(descriptors, openDescriptors());

    // Relative names are taken as they are, from the working directory.
    char cwd[PATH_MAX];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    ASSERT_EQ(0, chdir(dir.path.c_str()));
    EXPECT_EQ("Error: Failed to open DIB file surface.bmp.\n", load("surface.bmp").errors);
    ASSERT_EQ(0, chdir(cwd));
}

namespace {

std::vector<std::string> notices;

// Marks standard error too, so that the captured output shows what came first.
void recordNotice(const char* caption, const char* text)
{
    std::fputs("[notice]", stderr);
    notices.push_back(std::string(caption) + ": " + text);
}

} // namespace

TEST(BmpLoader, AProgramsNoticeFollowsEachLine)
{
    const std::string missing = "/nonexistent/surface.bmp";
    const std::string openText = "Failed to open DIB file " + missing + ".\n";
    setBmpErrorNotice(recordNotice);
    const Decoded opened = load(missing);
    const Decoded decoded = decode({0x42, 0x4d});
    setBmpErrorNotice(nullptr);
    const Decoded unnoticed = load(missing);

    EXPECT_EQ("Error: " + openText + "[notice]", opened.errors);
    EXPECT_EQ(errorLine(conversionError) + "[notice]", decoded.errors);
    EXPECT_EQ("Error: " + openText, unnoticed.errors);
    const std::vector<std::string> expected = {"Error: " + openText,
                                               "Error: " + std::string(conversionError)};
    EXPECT_EQ(expected, notices);
}

TEST(BmpLoader, OverlongFileNamesAreCutToTheMessageBuffer)
{
    const std::string name = "/nonexistent/" + std::string(5000, 'n') + ".bmp";
    const Decoded d = load(name);
    EXPECT_FALSE(d.image);
    // 255 characters of text and its terminating zero; the text keeps its ".\n" end.
    const std::string text = "Failed to open DIB file " + name.substr(0, 255 - 26) + ".\n";
    ASSERT_EQ(255u, text.size());
    EXPECT_EQ("Error: " + text, d.errors);
}

TEST(BmpLoader, TrackTextureDecodes)
{
    const std::string here = __FILE__;
    const std::string asset = here.substr(0, here.rfind('/')) + "/../../assets/surface.bmp";
    const Decoded d = load(asset);
    ASSERT_TRUE(d.image) << d.errors;
    EXPECT_EQ(256, d.image->width);
    EXPECT_EQ(256, d.image->height);
}
