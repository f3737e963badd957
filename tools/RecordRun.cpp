// record_run: follows one run of the game from its first frame, through the fade-in,
// the rolling and the fade-out, to the dark at its end, and writes the frames to
// standard output scaled down to WIDTH pixels: a line "WIDTH HEIGHT", then each frame
// as raw rows of 8-bit red, green and blue, top row first.
// Twenty pictures a second of the game's own time, however fast the machine draws.
//
//   record_run [--timeout SECONDS] TITLE WIDTH |
//       { read -r w h; ffmpeg -f rawvideo -pix_fmt rgb24 -video_size "${w}x$h" -i - ...; }

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tools/XWindowProbe.h"

namespace {

int brightest(const unsigned char* p)
{
    return std::max(p[0], std::max(p[1], p[2]));
}

// The game has drawn: the clear colour is black and the first frames are only
// dark, never all black.
bool anythingDrawn(const WindowImage& image)
{
    for (size_t i = 0; i < image.rgb.size(); i += 3)
        if (brightest(&image.rgb[i]) > 0)
            return true;
    return false;
}

// The light has faded out: nothing is brighter than a tenth.
bool dark(const WindowImage& image)
{
    for (size_t i = 0; i < image.rgb.size(); i += 3)
        if (brightest(&image.rgb[i]) > 24)
            return false;
    return true;
}

// The height of a picture scaled to width columns, keeping the aspect, rounded to an
// even number as video encoders want.
int scaledHeight(const WindowImage& image, int width)
{
    return (image.height * width / image.width + 1) / 2 * 2;
}

// Averages each block of pixels into one.
void writeScaled(const WindowImage& image, int width, std::FILE* out)
{
    const int height = scaledHeight(image, width);
    std::vector<unsigned char> row(size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        const int top = y * image.height / height, bottom = (y + 1) * image.height / height;
        for (int x = 0; x < width; ++x) {
            const int left = x * image.width / width, right = (x + 1) * image.width / width;
            int sum[3] = {0, 0, 0};
            for (int v = top; v < bottom; ++v)
                for (int u = left; u < right; ++u)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += image.at(u, v)[c];
            const int count = (bottom - top) * (right - left);
            for (int c = 0; c < 3; ++c)
                row[size_t(x) * 3 + c] = static_cast<unsigned char>(sum[c] / count);
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
}

constexpr int framesPerSecond = 20;

int usage()
{
    std::fprintf(stderr, "usage: record_run [--timeout SECONDS] TITLE WIDTH > frames\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    double timeout = 600;
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--timeout") == 0) {
        timeout = std::atof(argv[i + 1]);
        i += 2;
    }
    if (argc - i != 2)
        return usage();
    const std::string title = argv[i];
    const int width = std::atoi(argv[i + 1]);
    if (width < 16)
        return usage();

    XWindowProbe probe;
    if (!probe.isOpen()) {
        std::fprintf(stderr, "record_run: cannot open the X display\n");
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(timeout);
    unsigned long window = 0;
    while (!(window = probe.findWindow(title)) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

    // The game keeps its own pace, 60 ticks a second of the clock: the recording takes
    // a picture every 1/20 s of the same clock from the first drawn frame on, and where
    // a look comes late it repeats the picture before, so the video keeps the game's time.
    const auto period = std::chrono::microseconds(1000000 / framesPerSecond);
    WindowImage image;
    bool lit = false, done = false;
    int frames = 0;
    auto due = Clock::now();
    while (window && !done && Clock::now() < deadline) {
        std::this_thread::sleep_until(due);
        WindowImage look;
        if (!probe.grab(window, look))
            break;
        if (frames == 0 && !anythingDrawn(look)) {
            due = Clock::now();
            continue;
        }
        if (frames == 0)
            std::printf("%d %d\n", width, scaledHeight(look, width));
        for (; frames > 0 && due + period < Clock::now(); due += period, ++frames)
            writeScaled(image, width, stdout);
        image = std::move(look);
        writeScaled(image, width, stdout);
        ++frames;
        due += period;
        lit = lit || image.showsMarbleInFullLight();
        done = lit && dark(image);
    }
    if (done) {
        std::fprintf(stderr, "record_run: %d frames\n", frames);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "record_run: no complete run of \"%s\" within %g s\n", title.c_str(),
                 timeout);
    return 1;
}
