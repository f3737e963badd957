// Decoding speed of large generated bitmaps (4096 x 4096: 24-bit, 8-bit palette, 1-bit,
// 8-bit run-length), against references measured in the same run: memcpy of the 24-bit
// file's pixel bytes into a newly allocated buffer (the floor: any decoder allocates
// and writes that much) or into one kept across iterations, and stb_image decoding the
// same file. Prints ours/stb and ours/memcpy at the end. Then the texture the game ships
// (assets/surface.bmp, 256 x 256, 24-bit), the one file the game decodes.
//
// Usage: bmp_loader_bench [--cold-pages] [Google Benchmark flags]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "image/BmpLoader.h"
#include "tests/support/BmpBuilder.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb/stb_image.h>

namespace {

const int side = 4096;
const size_t rgbBytes = size_t(side) * side * 3;

uint32_t noise(uint32_t i)
{
    i ^= i >> 16;
    i *= 0x7feb352du;
    i ^= i >> 15;
    i *= 0x846ca68bu;
    return i ^ i >> 16;
}

std::vector<uint32_t> grey256()
{
    std::vector<uint32_t> colors;
    for (uint32_t i = 0; i < 256; ++i)
        colors.push_back(noise(i) & 0xffffff);
    return colors;
}

// 8-bit run-length data of the indices: repeats become runs, other stretches of
// three or more absolute runs; rows end with end of line, the last with end of bitmap.
std::vector<uint8_t> encodeRle8(int width, int height, const std::vector<uint8_t>& indices)
{
    std::vector<uint8_t> out;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = indices.data() + size_t(y) * size_t(width);
        int x = 0;
        while (x < width) {
            int same = 1;
            while (x + same < width && same < 255 && row[x + same] == row[x])
                ++same;
            int literal = 0;
            while (x + literal < width && literal < 255 &&
                   (x + literal + 1 >= width || row[x + literal + 1] != row[x + literal]))
                ++literal;
            if (same >= 2 || literal < 3) {
                out.insert(out.end(), {uint8_t(same), row[x]});
                x += same;
                continue;
            }
            out.insert(out.end(), {0, uint8_t(literal)});
            out.insert(out.end(), row + x, row + x + literal);
            if (literal % 2)
                out.push_back(0);
            x += literal;
        }
        out.insert(out.end(), {0, uint8_t(y + 1 < height ? 0 : 1)});
    }
    return out;
}

BmpBuilder square(int bitCount)
{
    BmpBuilder b;
    b.width = side;
    b.height = side;
    b.bitCount = uint16_t(bitCount);
    return b;
}

// Photographic-like noise: every byte differs.
std::vector<uint8_t> rgb24()
{
    BmpBuilder b = square(24);
    b.pixels.resize(rgbBytes);
    for (size_t i = 0; i < b.pixels.size(); i += 4) {
        const uint32_t v = noise(uint32_t(i));
        std::memcpy(&b.pixels[i], &v, std::min<size_t>(4, b.pixels.size() - i));
    }
    return b.build();
}

std::vector<uint8_t> indexed(int bitCount)
{
    BmpBuilder b = square(bitCount);
    b.colors = grey256();
    b.colors.resize(size_t(1) << bitCount);
    b.pixels.resize(size_t(side) * side * size_t(bitCount) / 8);
    for (size_t i = 0; i < b.pixels.size(); ++i)
        b.pixels[i] = uint8_t(noise(uint32_t(i)));
    return b.build();
}

// Flat areas of random length between single odd pixels, as drawings compress.
std::vector<uint8_t> rle8()
{
    std::vector<uint8_t> indices(size_t(side) * side);
    for (size_t i = 0; i < indices.size();) {
        const uint32_t r = noise(uint32_t(i));
        const size_t run = std::min<size_t>(1 + r % 48, indices.size() - i);
        std::memset(&indices[i], int(r >> 8 & 0xff), run);
        i += run;
        if (i < indices.size() && r >> 20 & 1)
            indices[i++] = uint8_t(r >> 24);
    }
    BmpBuilder b = square(8);
    b.compression = 1;
    b.colors = grey256();
    b.pixels = encodeRle8(side, side, indices);
    b.imageSize = uint32_t(b.pixels.size());
    return b.build();
}

void ours(benchmark::State& state, const std::vector<uint8_t>* file)
{
    for (auto _ : state) {
        RgbImage* image = decodeBmpImage(file->data(), file->size());
        if (!image) {
            state.SkipWithError("decode failed");
            return;
        }
        benchmark::DoNotOptimize(image->data);
        std::free(image->data);
        std::free(image);
    }
}

void stb(benchmark::State& state, const std::vector<uint8_t>* file)
{
    for (auto _ : state) {
        int width, height, channels;
        unsigned char* pixels =
            stbi_load_from_memory(file->data(), int(file->size()), &width, &height, &channels, 3);
        if (!pixels) {
            state.SkipWithError(stbi_failure_reason());
            return;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
}

void copyAllocated(benchmark::State& state, const std::vector<uint8_t>* file)
{
    const unsigned char* pixels = file->data() + 54;
    for (auto _ : state) {
        unsigned char* out = static_cast<unsigned char*>(std::malloc(rgbBytes));
        std::memcpy(out, pixels, rgbBytes);
        benchmark::DoNotOptimize(out);
        std::free(out);
    }
}

void copyKept(benchmark::State& state, const std::vector<uint8_t>* file)
{
    std::vector<unsigned char> out(rgbBytes);
    const unsigned char* pixels = file->data() + 54;
    for (auto _ : state) {
        std::memcpy(out.data(), pixels, rgbBytes);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

// Keeps each result's time by name for the ratios printed at the end: the median
// when the run has repetitions, else the single measurement.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const std::string key = run.run_name.str();
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Aggregate ? run.aggregate_name == "median"
                                                  : !medians.count(key))
                times[key] = run.GetAdjustedRealTime();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians.insert(key);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> times;

private:
    std::set<std::string> medians;
};

std::string name(const char* decoder, const char* format)
{
    return std::string(decoder) + "/" + format;
}

} // namespace

int main(int argc, char** argv)
{
    // Every decoder allocates its 48 MB output per call. By default glibc maps such
    // blocks afresh each time, and faulting in new pages then costs far more than any
    // decoding (and varies with the machine). Keeping freed memory on the heap measures
    // the decoders instead; --cold-pages leaves the allocator as it is.
    bool coldPages = false;
    for (int i = 1; i < argc; ++i)
        coldPages = coldPages || std::string(argv[i]) == "--cold-pages";
    if (!coldPages) {
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
    }
    const std::vector<uint8_t> files[] = {rgb24(), indexed(8), indexed(1), rle8()};
    const char* formats[] = {"rgb24", "indexed8", "indexed1", "rle8"};
    benchmark::RegisterBenchmark("memcpy", copyAllocated, &files[0]);
    benchmark::RegisterBenchmark("memcpy/kept-buffer", copyKept, &files[0]);
    for (int f = 0; f < 4; ++f) {
        benchmark::RegisterBenchmark(name("ours", formats[f]).c_str(), ours, &files[f]);
        benchmark::RegisterBenchmark(name("stb", formats[f]).c_str(), stb, &files[f]);
    }
    std::ifstream texture(MARBLE_ASSETS_DIR "/surface.bmp", std::ios::binary);
    const std::vector<uint8_t> shipped{std::istreambuf_iterator<char>(texture), {}};
    benchmark::RegisterBenchmark("ours/shipped-texture", ours, &shipped);
    benchmark::RegisterBenchmark("stb/shipped-texture", stb, &shipped);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // Each ratio as ours/other; n/a where either was not measured (stb reads no
    // run-length bitmaps).
    std::map<std::string, double>& t = reporter.times;
    const auto printRatio = [&](const std::string& ours, const std::string& other, int field) {
        if (t.count(ours) && t.count(other))
            std::printf("%*.2f", field, t[ours] / t[other]);
        else
            std::printf("%*s", field, "n/a");
    };
    std::printf("\n%dx%d%s   ours/stb   ours/memcpy   ours/memcpy (kept buffer)\n", side, side,
                coldPages ? ", cold pages" : "");
    for (const char* format : formats) {
        std::printf("%-12s", format);
        printRatio(name("ours", format), name("stb", format), 9);
        printRatio(name("ours", format), "memcpy", 14);
        printRatio(name("ours", format), "memcpy/kept-buffer", 28);
        std::printf("\n");
    }
    return 0;
}
