// screenshot: waits for the window with a given title on the X display and saves
// a PNG of its contents. With --lit it keeps looking until the game's light has
// faded in (every run starts in the dark), so the file shows the lit scene.
//
//   screenshot [--timeout SECONDS] [--lit] TITLE FILE.png

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tools/XWindowProbe.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: screenshot [--timeout SECONDS] [--lit] TITLE FILE.png\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    double timeout = 60;
    bool lit = false;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        if (std::strcmp(argv[i], "--lit") == 0)
            lit = true;
        else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc)
            timeout = std::atof(argv[++i]);
        else
            return usage();
    }
    if (argc - i != 2)
        return usage();
    const std::string title = argv[i];
    const std::string file = argv[i + 1];

    XWindowProbe probe;
    if (!probe.isOpen()) {
        std::fprintf(stderr, "screenshot: cannot open the X display\n");
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(timeout);
    WindowImage image;
    bool grabbed = false, ready = false;
    while (!ready && Clock::now() < deadline) {
        const unsigned long window = probe.findWindow(title);
        if (window && probe.grab(window, image)) {
            grabbed = true;
            ready = !lit || image.showsMarbleInFullLight();
        }
        if (!ready)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!grabbed) {
        std::fprintf(stderr, "screenshot: no window titled \"%s\" on screen within %g s\n",
                     title.c_str(), timeout);
        return 1;
    }
    if (!image.savePng(file)) {
        std::fprintf(stderr, "screenshot: cannot write %s\n", file.c_str());
        return 1;
    }
    if (!ready) {
        std::fprintf(
            stderr,
            "screenshot: the light did not come up within %g s; saved the last picture anyway\n",
            timeout);
        return 1;
    }
    return 0;
}
