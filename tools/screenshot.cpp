// screenshot: starts the game in its own folder on the X display, waits for its window
// and saves a PNG of its contents, then ends the game. With --lit it keeps looking
// until the game's light has faded in (every run starts in the dark), so the file
// shows the lit scene.
//
//   screenshot [--timeout SECONDS] [--lit] GAME FILE.png

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/GameLook.h"
#include "tests/support/GameWindow.h"

int main(int argc, char** argv)
{
    int timeout = 60;
    bool lit = false;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        if (std::strcmp(argv[i], "--lit") == 0)
            lit = true;
        else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc)
            timeout = std::atoi(argv[++i]);
        else
            break;
    }
    if (argc - i != 2) {
        std::fprintf(stderr, "usage: screenshot [--timeout SECONDS] [--lit] GAME FILE.png\n");
        return 2;
    }
    const std::string exe = argv[i], file = argv[i + 1];

    GameWindow game{std::chrono::seconds(timeout)};
    const std::string folder = std::filesystem::absolute(exe).parent_path().string();
    if (!game.start(exe, exe, folder)) {
        std::fprintf(stderr, "screenshot: %s\n", game.trouble.c_str());
        return 1;
    }
    const bool ready = game.waitFor(
        "", [&](const WindowImage& image) { return !lit || GameLook(image).marbleInFullLight(); });
    if (!game.picture.savePng(file)) {
        std::fprintf(stderr, "screenshot: cannot write %s\n", file.c_str());
        return 1;
    }
    if (!ready) {
        std::fprintf(stderr, "screenshot: the light did not come up within %d s (%s)\n", timeout,
                     game.trouble.c_str());
        return 1;
    }
    return 0;
}
