// The game's window under a real window manager (openbox), each screen on a display
// of its own (tools/with-xvfb.sh with XVFB_SCREEN), looked at from outside: where the
// work area holds the 1273 x 970 window with its frame it opens at that size, and
// where it does not, at the largest size of that aspect whose frame lies wholly on
// the screen. Every wait polls and gives up after a generous bound.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/GameWindow.h"

// Openbox for as long as the object lives.
struct WindowManager {
    pid_t pid = fork();
    WindowManager()
    {
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            execl(MARBLE_OPENBOX, "openbox", static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~WindowManager()
    {
        if (pid > 0 && kill(pid, SIGTERM) == 0)
            waitpid(pid, nullptr, 0);
    }
};

// Last: its macros (None, Bool, Status) would change the names of what comes above.
#include <X11/Xlib.h>

namespace {

constexpr std::chrono::seconds patience(120);

struct Placed {
    XWindowProbe::Geometry inner;     // the game's own window, inside the frame
    std::vector<unsigned long> frame; // left, right, top, bottom
    std::vector<unsigned long> area;  // x, y, width, height of the first desktop
};

class WindowFit : public testing::Test {
protected:
    // Starts openbox and, once it manages the screen, the game; waits for the game's
    // window in its frame.
    void open(int screenWidth, int screenHeight)
    {
        ASSERT_TRUE(probe.isOpen()) << "no X display: run under tools/with-xvfb.sh";
        ASSERT_EQ(screenWidth, probe.screenWidth()) << "XVFB_SCREEN gave another screen";
        ASSERT_EQ(screenHeight, probe.screenHeight()) << "XVFB_SCREEN gave another screen";
        Display* display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        const unsigned long root = DefaultRootWindow(display);
        XCloseDisplay(display);

        wm = std::make_unique<WindowManager>();
        std::vector<unsigned long> check;
        ASSERT_TRUE(game.waitUntil([&] {
            return probe.property(root, "_NET_SUPPORTING_WM_CHECK", check) &&
                   probe.property(root, "_NET_WORKAREA", placed.area) && placed.area.size() >= 4;
        })) << "openbox never took the screen";

        const std::string exe = MARBLE_EXE;
        ASSERT_TRUE(game.start(exe, exe, std::filesystem::path(exe).parent_path().string()))
            << game.trouble;
        ASSERT_TRUE(game.waitUntil([&] {
            return probe.getGeometry(game.window, placed.inner) && placed.inner.reparented &&
                   probe.property(game.window, "_NET_FRAME_EXTENTS", placed.frame) &&
                   placed.frame.size() == 4;
        })) << "no framed window titled "
            << exe;
    }

    // The frame, around the game's window, lies on the screen in the work area.
    void expectWhollyInTheWorkArea() const
    {
        const auto& g = placed.inner;
        const long left = g.x - long(placed.frame[0]),
                   right = g.x + g.width + long(placed.frame[1]);
        const long top = g.y - long(placed.frame[2]),
                   bottom = g.y + g.height + long(placed.frame[3]);
        EXPECT_EQ(0, left);
        EXPECT_EQ(0, top);
        EXPECT_LE(right, long(placed.area[0] + placed.area[2]));
        EXPECT_LE(bottom, long(placed.area[1] + placed.area[3]));
    }

    std::unique_ptr<WindowManager> wm;
    GameWindow game{patience};
    XWindowProbe& probe = game.probe;
    Placed placed;
};

} // namespace

TEST_F(WindowFit, OnALargeScreenIsTheGameSize)
{
    ASSERT_NO_FATAL_FAILURE(open(1600, 1200));
    EXPECT_EQ(1273, placed.inner.width);
    EXPECT_EQ(970, placed.inner.height);
    expectWhollyInTheWorkArea();
}

// 1366 x 768, a small laptop's screen: the frame fills the work area's height, and
// the window keeps the game's aspect to within a pixel.
TEST_F(WindowFit, OnASmallScreenIsTheLargestOfTheSameAspect)
{
    ASSERT_NO_FATAL_FAILURE(open(1366, 768));
    const auto& g = placed.inner;
    expectWhollyInTheWorkArea();
    EXPECT_EQ(long(placed.area[1] + placed.area[3]), g.y + g.height + long(placed.frame[3]));
    EXPECT_NEAR(g.width * 970.0 / 1273.0, g.height, 1.0) << g.width << " x " << g.height;
    EXPECT_LT(g.height, 768);
}
