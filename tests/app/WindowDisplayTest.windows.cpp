// The Windows game end to end: marble.exe started under Wine on the test command's
// X display (Xvfb; Wine's opengl32 draws through Mesa), its window looked at from
// outside and typed into, as a player would. This program is built for the build
// machine by the Windows build (MARBLE_WINE_GAME starts the game under Wine). Every
// wait polls the picture and gives up after a generous bound, saying what never
// happened.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>
#include <vector>

#include "support/GameProcess.h"
#include "support/PaintedIcon.h"
#include "support/TempDir.h"
#include "tools/WindowImage.h"
#include "tools/XWindowProbe.h"

// Last: its macros (None, Bool, Status) would change the names of what comes above.
#include <X11/Xlib.h>

namespace {

using Clock = std::chrono::steady_clock;
using Pixel = const unsigned char*;

// Wine starts slowly on a busy machine, and llvmpipe draws slowly.
constexpr std::chrono::seconds patience(180);

// The game's window is titled with its argv[0], the Windows name Wine gives the
// program's path.
std::string windowsTitle()
{
    std::string title = "Z:" + std::string(MARBLE_WINDOWS_EXE);
    std::replace(title.begin(), title.end(), '/', '\\');
    return title;
}

// Spots in the picture, as in the X11 game's window test: the marble where the intro
// leaves the camera, and the steep middle of the first ramp, one flat quad lit the
// same everywhere, so that only the texture varies its pixels.
struct Spot {
    int column, row;
    double radius;
};
const Spot marble = {658, 453, 47.5};
const Spot firstRamp = {857, 792, 20};

// What a disc of the picture shows (the whole picture for radius 0). The marble's
// diffuse colour is (0.8, 0, 0.6): red stands up to 204 x light above green where it
// faces the light, and no other colour of the scene has red far above green.
struct Look {
    int litPurple = 0, mostRedOverGreen = 0, darkest = 765, lightest = 0;
    double mean = 0; // of every pixel's brightest channel: follows the light

    explicit Look(const WindowImage& image, Spot spot = {0, 0, 0})
    {
        double sum = 0, count = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const double dx = x - spot.column, dy = y - spot.row;
                if (spot.radius > 0 && dx * dx + dy * dy > spot.radius * spot.radius)
                    continue;
                const Pixel p = image.at(x, y);
                const bool purple = p[0] >= p[1] + 80 && p[2] >= p[1] + 60;
                litPurple += purple;
                mostRedOverGreen = std::max(mostRedOverGreen, purple ? p[0] - p[1] : 0);
                darkest = std::min(darkest, p[0] + p[1] + p[2]);
                lightest = std::max(lightest, p[0] + p[1] + p[2]);
                sum += std::max({p[0], p[1], p[2]});
                ++count;
            }
        mean = sum / count;
    }
    // How far the darkest and lightest pixels lie apart; -1 where something is black.
    int contrast() const { return darkest > 0 ? lightest - darkest : -1; }
};

// The purple marble in full light (0.93 of it or more) at its spot.
bool marbleLit(const WindowImage& image)
{
    return Look(image, marble).mostRedOverGreen >= 190;
}

class WineGameWindow : public testing::Test {
protected:
    // Starts the game in a folder and waits for its window.
    void start(const std::string& folder, const std::string& errorFile)
    {
        ASSERT_TRUE(probe.isOpen()) << "no X display: run under tools/with-xvfb.sh";
        ASSERT_TRUE(probe.hasXTest()) << "the X server lacks the XTEST extension";
        const auto deadline = Clock::now() + patience;
        game = std::make_unique<GameProcess>(MARBLE_WINE_GAME, MARBLE_WINE_GAME, folder, errorFile);
        while (!(window = probe.findWindow(title)) && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_NE(window, 0ul) << "no window titled " << title;
    }

    // Grabs pictures of a window until one passes; false at the deadline, with the
    // last one saved for a look.
    bool waitFor(const std::string& label, const std::function<bool(const WindowImage&)>& test,
                 unsigned long shown = 0)
    {
        const auto deadline = Clock::now() + patience;
        bool passed = false;
        int status = 0;
        while (!passed && Clock::now() < deadline) {
            passed = probe.grab(shown ? shown : window, picture) && test(picture);
            if (!passed && game->hasEnded(status)) {
                ADD_FAILURE() << "the game ended early, " << GameProcess::describe(status);
                break;
            }
        }
        if (!passed) {
            std::filesystem::create_directories(MARBLE_SCREENSHOT_DIR);
            picture.savePng(std::string(MARBLE_SCREENSHOT_DIR) + "/wine-" + label + ".png");
        }
        return passed;
    }

    // Escape ends the game with status 0.
    void endWithEscape()
    {
        ASSERT_TRUE(probe.focus(window));
        ASSERT_TRUE(probe.key("Escape", true));
        probe.key("Escape", false); // the process may already be gone
        int status = 0;
        ASSERT_TRUE(game->waitForExit(patience, status)) << "Escape did not end the game";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << GameProcess::describe(status);
    }

    // The window an X window stands in front of (WM_TRANSIENT_FOR): Wine names there
    // the owner of an owned Windows window. 0 when none.
    static unsigned long ownerOf(unsigned long shown)
    {
        Display* display = XOpenDisplay(nullptr);
        Window owner = 0;
        if (display && !XGetTransientForHint(display, shown, &owner))
            owner = 0;
        if (display)
            XCloseDisplay(display);
        return owner;
    }

    const std::string title = windowsTitle();
    XWindowProbe probe;
    std::unique_ptr<GameProcess> game;
    unsigned long window = 0;
    WindowImage picture;
};

} // namespace

TEST_F(WineGameWindow, FadesInPlaysAndEndsOnEscape)
{
    TempDir folder;
    std::filesystem::copy_file(std::filesystem::path(MARBLE_WINDOWS_EXE).parent_path() /
                                   "surface.bmp",
                               folder.path + "/surface.bmp");
    ASSERT_NO_FATAL_FAILURE(start(folder.path, ""));
    // The picture is the window's client area; Windows puts the corner of the frame
    // around it, border and title bar, at (0, 0).
    XWindowProbe::Geometry geometry;
    ASSERT_TRUE(probe.getGeometry(window, geometry));
    EXPECT_EQ(1273, geometry.width);
    EXPECT_EQ(970, geometry.height);
    EXPECT_LE(geometry.x, 16);
    EXPECT_LE(geometry.y, 48);
    // The window's and its taskbar button's icon, which Wine hands to X, is the
    // painted one in the sizes of a title bar and of the taskbar, not the system's.
    std::vector<unsigned long> icon;
    ASSERT_TRUE(probe.numberProperty(window, "_NET_WM_ICON", icon)) << "no _NET_WM_ICON";
    EXPECT_EQ((std::vector<unsigned long>{32, 16}), paintedIconSizes(icon, MARBLE_ICON_PAINTER));

    // The fade-in: the purple marble in full light at its spot, on a textured track.
    ASSERT_TRUE(waitFor("lit", marbleLit)) << "the marble never showed in full light";
    EXPECT_GE(Look(picture, firstRamp).contrast(), 15) << "the track looks untextured";

    // Holding d steers off the track: the marble falls out of view while the light is
    // still full (the mean level has not dropped since the marble was last seen).
    ASSERT_TRUE(probe.focus(window));
    ASSERT_TRUE(probe.key("d", true));
    double levelWithMarble = 0;
    ASSERT_TRUE(waitFor("fallen", [&](const WindowImage& i) {
        const Look look(i);
        if (look.mostRedOverGreen >= 190) {
            levelWithMarble = look.mean;
            return false;
        }
        return levelWithMarble > 0 && look.litPurple == 0 && look.mean >= 0.85 * levelWithMarble;
    })) << "the marble never left the view in full light";
    EXPECT_TRUE(probe.key("d", false));
    endWithEscape();
}

// Beside a file that is no bitmap, the game writes the loader's line and shows it in
// the system's message box captioned "Error", owned by the game's window, which has
// the focus; Enter dismisses it and the game plays on, the track untextured.
TEST_F(WineGameWindow, UnreadableTextureIsShownInAMessageBox)
{
    TempDir folder;
    const std::string errors = folder.path + "/stderr.txt";
    std::ofstream(folder.path + "/surface.bmp") << "not a bitmap";
    ASSERT_NO_FATAL_FAILURE(start(folder.path, errors));

    unsigned long box = 0;
    const auto deadline = Clock::now() + patience;
    while (!(box = probe.findWindow("Error")) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_NE(box, 0ul) << "no window captioned Error";
    // Dark ink on a light ground: the line of text, as wide as the loader's message in
    // the system's font, beside the icon, and the OK button below.
    ASSERT_TRUE(waitFor(
        "box",
        [](const WindowImage& image) {
            int light = 0, left = image.width, right = -1;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x) {
                    const Pixel p = image.at(x, y);
                    light += std::min({p[0], p[1], p[2]}) >= 200;
                    if (std::max({p[0], p[1], p[2]}) < 96 && y < image.height / 2 &&
                        x > image.width / 4) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                }
            return light * 2 > image.width * image.height && right - left >= 100;
        },
        box))
        << "the box showed no line of text";
    // Started with the focus, the game's window owns the box.
    EXPECT_EQ(window, ownerOf(box));
    std::ifstream written(errors);
    const std::string lines(std::istreambuf_iterator<char>(written), {});
    // Standard error is a text stream: Windows ends its lines with CR LF.
    const std::string line = "Error: Image file conversion error.\r\n";
    EXPECT_TRUE(lines.size() >= line.size() &&
                lines.compare(lines.size() - line.size(), line.size(), line) == 0)
        << lines;

    ASSERT_TRUE(probe.focus(box) && probe.key("Return", true) && probe.key("Return", false));
    ASSERT_TRUE(waitFor("after-box", marbleLit)) << "the game did not play on after the box";
    EXPECT_FALSE(probe.findWindow("Error")) << "the box stayed open";
    EXPECT_LE(Look(picture, firstRamp).contrast(), 3) << "the first ramp looks textured";
    EXPECT_GE(Look(picture, firstRamp).contrast(), 0) << "no track on the first ramp";
    endWithEscape();
}
