// Decoding speed of large generated bitmaps, against two references measured in the
// same run: memcpy of the picture's R, G, B bytes into a fresh buffer (the floor any
// decoder must pay: the output has to be allocated and written), and stb_image
// decoding the same file. Prints ours/stb and ours/memcpy at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "image/BmpLoader.h"
#include "tests/image/BmpBuilder.h"

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
    b.pixels = BmpBuilder::encodeRle(side, side, false, indices);
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

// Keeps each result's time (ms) by name for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (!run.error_occurred)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> times;
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
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::map<std::string, double>& t = reporter.times;
    std::printf("\n%dx%d%s   ours/stb   ours/memcpy   ours/memcpy (kept buffer)\n", side, side,
                coldPages ? ", cold pages" : "");
    for (const char* format : formats) {
        const double mine = t.count(name("ours", format)) ? t[name("ours", format)] : 0;
        const auto ratio = [&](const std::string& other) {
            return t.count(other) && mine > 0 ? mine / t[other] : 0.0;
        };
        std::printf("%-12s", format);
        if (ratio(name("stb", format)) > 0)
            std::printf("%9.2f", ratio(name("stb", format)));
        else
            std::printf("%9s", "n/a");
        std::printf("%14.2f%28.2f\n", ratio("memcpy"), ratio("memcpy/kept-buffer"));
    }
    return 0;
}
