// record_run: starts the game in its own folder on the X display and follows one run
// from its first frame, through the fade-in, the rolling and the fade-out, to the dark
// at its end, then ends the game. It writes the frames to standard output scaled down
// to WIDTH pixels: a line "WIDTH HEIGHT", then each frame as raw rows of 8-bit red,
// green and blue, top row first: twenty pictures a second of the game's own time,
// however fast the machine draws.
//
//   record_run [--timeout SECONDS] GAME WIDTH |
//       { read -r w h; ffmpeg -f rawvideo -pix_fmt rgb24 -video_size "${w}x$h" -i - ...; }

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/GameLook.h"
#include "tests/support/GameWindow.h"

namespace {

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
    std::fprintf(stderr, "usage: record_run [--timeout SECONDS] GAME WIDTH > frames\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    int timeout = 600;
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--timeout") == 0) {
        timeout = std::atoi(argv[i + 1]);
        i += 2;
    }
    if (argc - i != 2)
        return usage();
    const std::string exe = argv[i];
    const int width = std::atoi(argv[i + 1]);
    if (width < 16)
        return usage();

    GameWindow game{std::chrono::seconds(timeout)};
    if (!game.start(exe, exe, std::filesystem::absolute(exe).parent_path().string())) {
        std::fprintf(stderr, "record_run: %s\n", game.trouble.c_str());
        return 1;
    }
    // The game keeps its own pace, 60 ticks a second of the clock: the recording keeps a
    // picture for every 1/20 s of the same clock from the first drawn frame on, and
    // where a look comes late it repeats the one before, so the video keeps the game's
    // time. The game has drawn once anything is not black: the clear colour is black and
    // the first frames are only dark. The run ends when the light, once full, has faded
    // out: nothing brighter than a tenth.
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::microseconds(1000000 / framesPerSecond);
    WindowImage shown;
    Clock::time_point due;
    bool lit = false;
    int frames = 0;
    const bool done = game.waitFor("", [&](const WindowImage& image) {
        const GameLook look(image);
        const auto now = Clock::now();
        if (frames == 0) {
            if (look.brightest == 0)
                return false;
            std::printf("%d %d\n", width, scaledHeight(image, width));
            due = now;
        }
        if (now < due)
            return false;
        for (; frames > 0 && due + period <= now; due += period, ++frames)
            writeScaled(shown, width, stdout);
        shown = image;
        writeScaled(shown, width, stdout);
        ++frames;
        due += period;
        lit = lit || look.marbleInFullLight();
        return lit && look.brightest <= 24;
    });
    if (done) {
        std::fprintf(stderr, "record_run: %d frames\n", frames);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "record_run: no complete run of %s within %d s (%s)\n", exe.c_str(),
                 timeout, game.trouble.c_str());
    return 1;
}
