// The real game end to end: the binary started on the test command's X display
// (Xvfb, Mesa's software renderer), its window looked at from outside and typed
// into, as a player would (tests/support/GameWindow.h).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "support/GameLook.h"
#include "support/GameWindow.h"
#include "support/PaintedIcon.h"
#include "support/TempDir.h"

namespace {

using Pixel = const unsigned char*;

// llvmpipe on a busy machine draws slowly, and a run takes a few thousand frames.
constexpr std::chrono::seconds patience(120);

// The desktop ties the window to the menu entry by its class, which the desktop entry
// names, and to the process by its id; it shows the icon the package ships, here in
// every size a window manager may ask for.
void checkIdentity(GameWindow& game)
{
    std::ifstream entry(MARBLE_DESKTOP_ENTRY);
    std::string line, startupClass;
    while (std::getline(entry, line))
        if (line.rfind("StartupWMClass=", 0) == 0)
            startupClass = line.substr(line.find('=') + 1);
    ASSERT_FALSE(startupClass.empty()) << "the desktop entry names no StartupWMClass";
    std::vector<unsigned long> windowClass;
    ASSERT_TRUE(game.probe.property(game.window, "WM_CLASS", windowClass)) << "no WM_CLASS";
    const std::string names = std::string("marble-run") + '\0' + startupClass + '\0';
    EXPECT_EQ(std::vector<unsigned long>(names.begin(), names.end()), windowClass);

    std::vector<unsigned long> pid, icon;
    ASSERT_TRUE(game.probe.property(game.window, "_NET_WM_PID", pid)) << "no _NET_WM_PID";
    EXPECT_EQ(std::vector<unsigned long>{static_cast<unsigned long>(game.processId())}, pid);

    // Images of width, height and ARGB pixels, one after another, compared with the
    // PNG the icon painter makes of each size.
    ASSERT_TRUE(game.probe.property(game.window, "_NET_WM_ICON", icon)) << "no _NET_WM_ICON";
    EXPECT_EQ((std::vector<unsigned long>{16, 32, 48, 64}),
              paintedIconSizes(icon, MARBLE_ICON_PAINTER));
}

} // namespace

TEST(X11GameWindow, PlaysRunsAndEndsOnEscape)
{
    GameWindow game(patience, MARBLE_SCREENSHOT_DIR);
    const std::string folder = std::filesystem::path(MARBLE_EXE).parent_path().string();
    ASSERT_TRUE(game.start(MARBLE_EXE, MARBLE_EXE, folder)) << game.trouble;
    XWindowProbe::Geometry geometry;
    ASSERT_TRUE(game.probe.getGeometry(game.window, geometry));
    EXPECT_EQ(1273, geometry.width);
    EXPECT_EQ(970, geometry.height);
    if (!geometry.reparented) { // a window manager may frame and move it
        EXPECT_EQ(0, geometry.x + geometry.y);
    }

    // The first frame, caught before the light comes up: only OpenGL's default
    // ambient light (at most 10 of 255) and a few steps of fade-in. The sky is the
    // black clear colour; where the marble stands something is drawn (the deck's
    // underside, seen from the camera below it), dark but not black.
    ASSERT_TRUE(game.waitFor(
        "first", [](const WindowImage& i) { return GameLook(i).brightest > 0; }, true))
        << "the window stayed black; " << game.trouble;
    EXPECT_LE(GameLook(game.picture).brightest, 20) << "the first picture is already lit";
    EXPECT_EQ(0, GameLook(game.picture, {0, 0, 40}).brightest) << "the sky is not black";
    EXPECT_EQ(0, GameLook(game.picture, GameLook::marbleBelowTheDeck).black);
    // The window was marked before its first frame.
    EXPECT_NO_FATAL_FAILURE(checkIdentity(game));

    // The fade-in: the purple marble in full light at its spot, on a textured track.
    // The steep middle of the first ramp is one flat quad with one normal under a
    // directional light, lit the same everywhere: only the texture varies its pixels.
    ASSERT_TRUE(game.waitFor("lit", GameLook::marbleLit))
        << "the marble never lit; " << game.trouble;
    EXPECT_GE(GameLook(game.picture, GameLook::firstRamp).contrast(), 15) << "untextured track";

    // Holding d steers off the track: the marble falls out of view while the light is
    // still full, the light fades out, and a new run brings the marble back lit.
    GameLook::MarbleWatch watch;
    const auto leavesTheView = [&](const WindowImage& i) {
        watch.see(i);
        return watch.leftTheView();
    };
    ASSERT_TRUE(game.probe.focus(game.window));
    // The game hears of the focus on a connection of its own, once a tick: taking it
    // from the keys that followed the pointer counts as a loss, which must not let go
    // of d pressed after it. Two new pictures, and a tick has passed since.
    for (int fresh = 0; fresh < 2; ++fresh) {
        const std::vector<unsigned char> last = game.picture.rgb;
        ASSERT_TRUE(game.waitFor("ticking", [&](const WindowImage& i) { return i.rgb != last; }))
            << game.trouble;
    }
    ASSERT_TRUE(game.probe.key("d", true)); // key repeat is ignored: one press holds it
    ASSERT_TRUE(game.waitFor("fallen", leavesTheView))
        << "the marble never left the view in full light; " << game.trouble;

    // Another program takes the keyboard while d is held, and d is let go there: the
    // game never hears the release, but lets go of d itself when the focus leaves,
    // and the focus comes back. The server serves the probe alone meanwhile, so the
    // game sees it all at once, whatever the pace of either.
    XWindowProbe& probe = game.probe;
    const unsigned long other =
        probe.openWindow(probe.screenWidth() - 110, probe.screenHeight() - 110, 100, 100);
    ASSERT_NE(other, 0ul) << "could not open a window of another program";
    ASSERT_TRUE(probe.freeze());
    const bool moved = probe.focus(other) && probe.key("d", false) && probe.focus(game.window);
    probe.thaw();
    ASSERT_TRUE(moved);
    EXPECT_TRUE(probe.keyReleasedIn(other)) << "d was let go in the game's window";
    probe.destroy(other);

    ASSERT_TRUE(
        game.waitFor("dark", [](const WindowImage& i) { return GameLook(i).brightest <= 24; }))
        << "the light never faded out; " << game.trouble;
    ASSERT_TRUE(game.waitFor("restarted", GameLook::marbleLit)) << "no new run; " << game.trouble;
    // With no key held the marble rolls straight down to the yellow obstacle and stops
    // there, at its spot, while the light fades out (in full light some 3500 of its
    // pixels are lit purple, over 1500 until the light has fallen by half). Still
    // steering, it would leave the view in full light, as it did above, and the light
    // would fade without it.
    watch = {};
    ASSERT_TRUE(game.waitFor("straight",
                             [&](const WindowImage& i) {
                                 const GameLook look(i, GameLook::marble);
                                 watch.see(i);
                                 return watch.fadedWithoutIt() ||
                                        (look.litPurple >= 1500 && look.mostRedOverGreen <= 180);
                             }))
        << "the marble did not stay in view as the light faded; " << game.trouble;
    EXPECT_FALSE(watch.fadedWithoutIt()) << "the marble left the view and the light faded";

    EXPECT_TRUE(game.endWithEscape()) << game.trouble;
}

// Started where surface.bmp is no bitmap, the game writes the loader's line, shows it
// in a box captioned "Error" and draws nothing until the player dismisses the box,
// each way a player can; then it plays on, the track untextured.
TEST(X11GameWindow, UnreadableTextureIsShownInABoxThatHoldsTheGame)
{
    TempDir folder;
    const std::string errors = folder.path + "/stderr.txt";
    std::ofstream(folder.path + "/surface.bmp") << "not a bitmap";
    GameWindow game(patience, MARBLE_SCREENSHOT_DIR);
    XWindowProbe& probe = game.probe;
    // A box is dark ink (a line of text above, the OK button below) on a light ground.
    const auto isInk = [](Pixel p) { return std::max({p[0], p[1], p[2]}) < 96; };
    // Keys reach the box wherever the pointer is: it has the keyboard.
    const auto pointerAway = [&] {
        return probe.movePointer(probe.screenWidth() - 1, probe.screenHeight() - 1);
    };
    const std::function<bool(unsigned long, const WindowImage&)> dismissals[] = {
        [&](unsigned long, const WindowImage&) {
            return pointerAway() && probe.key("Return", true) && probe.key("Return", false);
        },
        // A click amid the button's ink, after Escape typed into the game's window: the
        // box keeps it from the game.
        [&](unsigned long box, const WindowImage& image) {
            long x = 0, y = 0, n = 0;
            for (int row = image.height / 2; row < image.height; ++row)
                for (int column = 0; column < image.width; ++column)
                    if (isInk(image.at(column, row))) {
                        x += column;
                        y += row;
                        ++n;
                    }
            return n > 0 && probe.focus(game.window) && probe.key("Escape", true) &&
                   probe.key("Escape", false) && probe.click(box, int(x / n), int(y / n));
        },
        [&](unsigned long box, const WindowImage&) { return probe.requestClose(box); },
        // Another program destroys it (xdotool windowclose): dismissed all the same.
        [&](unsigned long box, const WindowImage&) { return probe.destroy(box); },
    };
    for (const auto& dismiss : dismissals) {
        ASSERT_TRUE(game.start(MARBLE_EXE, MARBLE_EXE, folder.path, errors)) << game.trouble;
        ASSERT_TRUE(game.waitFor(
            "box", [](const WindowImage& i) { return GameLook::showsLineOfText(i, 100); }, false,
            "Error"))
            << "no box captioned Error showed its text; " << game.trouble;
        const WindowImage box = game.picture;
        const unsigned long boxWindow = probe.findWindow("Error");
        // No window manager gives it the focus here: it takes the focus itself.
        EXPECT_TRUE(game.waitUntil([&] { return probe.focusedWindow() == boxWindow; }))
            << "the box did not take the keyboard";
        // A dialog of the game's: owned by its window, modal, of its class, closed on request.
        const auto holds = [&](const char* property, const std::vector<unsigned long>& items) {
            std::vector<unsigned long> held;
            return probe.property(boxWindow, property, held) && held == items;
        };
        EXPECT_TRUE(holds("WM_TRANSIENT_FOR", {game.window}));
        EXPECT_TRUE(holds("_NET_WM_WINDOW_TYPE", {probe.atom("_NET_WM_WINDOW_TYPE_DIALOG")}));
        EXPECT_TRUE(holds("_NET_WM_STATE", {probe.atom("_NET_WM_STATE_MODAL")}));
        EXPECT_TRUE(holds("WM_PROTOCOLS", {probe.atom("WM_DELETE_WINDOW")}));
        std::vector<unsigned long> gameClass;
        EXPECT_TRUE(probe.property(game.window, "WM_CLASS", gameClass) && !gameClass.empty());
        EXPECT_TRUE(holds("WM_CLASS", gameClass));
        std::ifstream written(errors);
        EXPECT_EQ("Error: Image file conversion error.\n",
                  std::string(std::istreambuf_iterator<char>(written), {}));

        // Every pixel of the game's window beside the box is still black.
        XWindowProbe::Geometry at, beside;
        ASSERT_TRUE(probe.getGeometry(boxWindow, at) && probe.getGeometry(game.window, beside));
        ASSERT_TRUE(probe.grab(game.window, game.picture));
        int drawn = 0;
        for (int y = 0; y < game.picture.height; ++y)
            for (int x = 0; x < game.picture.width; ++x) {
                const int sx = beside.x + x - at.x, sy = beside.y + y - at.y;
                const bool underBox = sx >= 0 && sx < at.width && sy >= 0 && sy < at.height;
                const Pixel p = game.picture.at(x, y);
                drawn += !underBox && std::max({p[0], p[1], p[2]}) > 0;
            }
        EXPECT_EQ(0, drawn) << "the game drew while the box was open";

        ASSERT_TRUE(dismiss(boxWindow, box));
        ASSERT_TRUE(game.waitUntil([&] { return !probe.findWindow("Error"); }))
            << "the box stayed open; " << game.trouble;
        ASSERT_TRUE(game.waitFor("after-box", GameLook::marbleLit)) << "no play after the box";
        EXPECT_LE(GameLook(game.picture, GameLook::firstRamp).contrast(), 3) << "textured";
        EXPECT_GE(GameLook(game.picture, GameLook::firstRamp).contrast(), 0) << "no track there";
        // The box handed the keyboard back: Escape, typed away from the window, ends it.
        ASSERT_TRUE(pointerAway());
        EXPECT_TRUE(game.endWithEscape()) << "no keyboard back? " << game.trouble;
    }
}
