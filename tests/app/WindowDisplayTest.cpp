// The real game end to end: the binary started on the test command's X display
// (Xvfb, Mesa's software renderer), its window looked at from outside and typed
// into, as a player would. Nothing measures time: every wait polls the picture
// and gives up after a generous bound, saying what never happened.

#include <gtest/gtest.h>
#include <stb_image.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/GameProcess.h"
#include "tools/WindowImage.h"
#include "tools/XWindowProbe.h"

namespace {

using Clock = std::chrono::steady_clock;
using Pixel = const unsigned char*;

// llvmpipe on a busy machine draws slowly, and a run takes a few thousand frames.
constexpr std::chrono::seconds patience(120);
constexpr int windowWidth = 1273;
constexpr int windowHeight = 970;

// Spots in the window, worked out from the camera (gluLookAt with up +y towards
// (0, 5, 1), gluPerspective(60, 1273 / 970, 1, 200)), with the radius in pixels
// of the marble or of the disc looked at: the marble at its start (0.5, 5.5, 1)
// seen from where a run starts (8, 0, -3), the marble and the steep middle of the
// first ramp (3.875, 3.625, 1) seen from where the intro leaves the camera
// (8, 7.98, 4.98). While the marble rolls the camera follows it: it keeps its spot.
struct Spot {
    int column, row;
    double radius;
};
const Spot marbleBelowTheDeck = {618, 431, 20};
const Spot marble = {658, 453, 47.5};
const Spot firstRamp = {857, 792, 20};

// The marble's diffuse colour is (0.8, 0, 0.6) and the light adds the same to all
// channels otherwise: red stands up to 204 x light above green where it faces the light.
bool isLitPurple(Pixel p)
{
    return p[0] >= p[1] + 80 && p[2] >= p[1] + 60;
}
constexpr int fullLightRedOverGreen = 190; // 0.93 of the light; the intro ends at 0.9975

// What a disc of the picture shows (the whole picture for radius 0).
struct Look {
    int brightest = 0, black = 0, litPurple = 0, mostRedOverGreen = 0;
    int darkest = 765, lightest = 0; // sums of the three channels
    double mean = 0;                 // of every pixel's brightest channel: follows the light

    explicit Look(const WindowImage& image, Spot spot = {0, 0, 0})
    {
        double sum = 0, count = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const double dx = x - spot.column, dy = y - spot.row;
                if (spot.radius > 0 && dx * dx + dy * dy > spot.radius * spot.radius)
                    continue;
                const Pixel p = image.at(x, y);
                const int level = p[0] + p[1] + p[2], most = std::max({p[0], p[1], p[2]});
                brightest = std::max(brightest, most);
                black += most == 0;
                litPurple += isLitPurple(p);
                mostRedOverGreen = std::max(mostRedOverGreen, isLitPurple(p) ? p[0] - p[1] : 0);
                darkest = std::min(darkest, level);
                lightest = std::max(lightest, level);
                sum += most;
                ++count;
            }
        mean = sum / count;
    }
    // How far the darkest and lightest pixels lie apart; -1 where something is black.
    int contrast() const { return darkest > 0 ? lightest - darkest : -1; }
};

// The purple marble in full light at its spot.
bool marbleLit(const WindowImage& image)
{
    return Look(image, marble).mostRedOverGreen >= fullLightRedOverGreen;
}

class GameWindow : public testing::Test {
protected:
    // Starts the game, titled with its command, in a folder and waits for its window.
    // A window left by a game killed before must not be taken for this one.
    void start(const std::string& folder, const std::string& errorFile = "")
    {
        ASSERT_TRUE(probe.isOpen()) << "no X display: run under tools/with-xvfb.sh";
        ASSERT_TRUE(probe.hasXTest()) << "the X server lacks the XTEST extension";
        const auto deadline = Clock::now() + patience;
        while (probe.findWindow(MARBLE_EXE) && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        game = std::make_unique<GameProcess>(MARBLE_EXE, MARBLE_EXE, folder, errorFile);
        while (!(window = probe.findWindow(MARBLE_EXE)) && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_NE(window, 0ul) << "no window titled " << MARBLE_EXE;
    }

    // Grabs pictures until one passes; false at the deadline, with the last one
    // saved for a look. Held still, the game stalls while a picture is taken.
    bool waitFor(const std::string& label, const std::function<bool(const WindowImage&)>& test,
                 bool holdStill = false)
    {
        const auto deadline = Clock::now() + patience;
        bool passed = false;
        int status = 0;
        while (!passed && Clock::now() < deadline) {
            if (holdStill && !probe.freeze())
                return false;
            passed = probe.grab(window, picture) && test(picture);
            if (holdStill)
                probe.thaw();
            if (!passed && game->hasEnded(status)) {
                ADD_FAILURE() << "the game ended early, " << GameProcess::describe(status);
                break;
            }
        }
        if (!passed) {
            std::filesystem::create_directories(MARBLE_SCREENSHOT_DIR);
            picture.savePng(std::string(MARBLE_SCREENSHOT_DIR) + "/" + label + ".png");
        }
        return passed;
    }

    // The desktop ties the window to the menu entry by its class, which the desktop
    // entry names, and to the process by its id; it shows the icon the package
    // ships, here in every size a window manager may ask for.
    void checkIdentity()
    {
        std::ifstream entry(MARBLE_DESKTOP_ENTRY);
        std::string line, startupClass;
        while (std::getline(entry, line))
            if (line.rfind("StartupWMClass=", 0) == 0)
                startupClass = line.substr(line.find('=') + 1);
        ASSERT_FALSE(startupClass.empty()) << "the desktop entry names no StartupWMClass";
        std::string windowClass;
        ASSERT_TRUE(probe.textProperty(window, "WM_CLASS", windowClass)) << "no WM_CLASS";
        EXPECT_EQ(std::string("marble-run") + '\0' + startupClass + '\0', windowClass);

        std::vector<unsigned long> pid, icon;
        ASSERT_TRUE(probe.numberProperty(window, "_NET_WM_PID", pid)) << "no _NET_WM_PID";
        EXPECT_EQ(std::vector<unsigned long>{static_cast<unsigned long>(game->id())}, pid);

        // Images of width, height and ARGB pixels, one after another, compared with
        // the PNG the icon painter makes of each size.
        ASSERT_TRUE(probe.numberProperty(window, "_NET_WM_ICON", icon)) << "no _NET_WM_ICON";
        const std::string png = std::filesystem::temp_directory_path().string() + "/marble-icon-" +
                                std::to_string(getpid()) + ".png";
        std::vector<unsigned long> sizes;
        size_t at = 0;
        while (at + 2 <= icon.size() && icon[at] == icon[at + 1] &&
               at + 2 + icon[at] * icon[at] <= icon.size()) {
            const unsigned long size = icon[at];
            sizes.push_back(size);
            const std::string paint = MARBLE_ICON_PAINTER " " + std::to_string(size) + " " + png;
            int width = 0, height = 0, channels = 0;
            ASSERT_EQ(0, std::system(paint.c_str())) << paint;
            unsigned char* pixels = stbi_load(png.c_str(), &width, &height, &channels, 4);
            std::filesystem::remove(png);
            ASSERT_TRUE(pixels && width == int(size) && height == int(size)) << paint;
            int differ = 0;
            for (unsigned long i = 0; i < size * size; ++i) {
                const unsigned char* p = pixels + 4 * i;
                differ += icon[at + 2 + i] != (static_cast<unsigned long>(p[3]) << 24 |
                                               static_cast<unsigned long>(p[0]) << 16 |
                                               static_cast<unsigned long>(p[1]) << 8 | p[2]);
            }
            stbi_image_free(pixels);
            EXPECT_EQ(0, differ) << "pixels of the " << size << "-pixel icon differ";
            at += 2 + size * size;
        }
        EXPECT_EQ(icon.size(), at) << "_NET_WM_ICON holds something other than images";
        EXPECT_EQ((std::vector<unsigned long>{16, 32, 48, 64}), sizes);
    }

    XWindowProbe probe;
    std::unique_ptr<GameProcess> game;
    unsigned long window = 0;
    WindowImage picture;
};

} // namespace

TEST_F(GameWindow, PlaysRunsAndEndsOnEscape)
{
    ASSERT_NO_FATAL_FAILURE(start(std::filesystem::path(MARBLE_EXE).parent_path().string()));
    XWindowProbe::Geometry geometry;
    ASSERT_TRUE(probe.getGeometry(window, geometry));
    EXPECT_EQ(windowWidth, geometry.width);
    EXPECT_EQ(windowHeight, geometry.height);
    if (!geometry.reparented) { // a window manager may frame and move it
        EXPECT_EQ(0, geometry.x + geometry.y);
    }

    // The first frame, caught before the light comes up: only OpenGL's default
    // ambient light (at most 10 of 255) and a few steps of fade-in. The sky is the
    // black clear colour; where the marble stands something is drawn (the deck's
    // underside, seen from the camera below it), dark but not black.
    ASSERT_TRUE(waitFor(
        "first", [](const WindowImage& i) { return Look(i).brightest > 0; }, true))
        << "the window stayed black";
    EXPECT_LE(Look(picture).brightest, 20) << "the first picture is already lit";
    EXPECT_EQ(0, Look(picture, {0, 0, 40}).brightest) << "the sky is not black";
    EXPECT_EQ(0, Look(picture, marbleBelowTheDeck).black);
    // The window was marked before its first frame.
    EXPECT_NO_FATAL_FAILURE(checkIdentity());

    // The fade-in: the purple marble in full light at its spot, on a textured track.
    ASSERT_TRUE(waitFor("lit", marbleLit)) << "the marble never showed in full light";
    // The steep middle of the first ramp is one flat quad with one normal under a
    // directional light, lit the same everywhere: only the texture varies its pixels.
    EXPECT_GE(Look(picture, firstRamp).contrast(), 15) << "the track looks untextured";

    // Holding d steers off the track: the marble falls out of view while the light
    // is still full (the mean level has not dropped since the marble was last seen),
    // the light fades out, and a new run brings the marble back lit.
    ASSERT_TRUE(probe.focus(window));
    // The game hears of the focus on a connection of its own, once a tick: taking it
    // from the keys that followed the pointer counts as a loss, which must not let go
    // of d pressed after it. Two new pictures, and a tick has passed since.
    for (int fresh = 0; fresh < 2; ++fresh) {
        const std::vector<unsigned char> last = picture.rgb;
        ASSERT_TRUE(waitFor("ticking", [&](const WindowImage& i) { return i.rgb != last; }));
    }
    ASSERT_TRUE(probe.key("d", true)); // key repeat is ignored: one press holds it
    double levelWithMarble = 0;
    ASSERT_TRUE(waitFor("fallen", [&](const WindowImage& i) {
        const Look look(i);
        if (look.mostRedOverGreen >= fullLightRedOverGreen) {
            levelWithMarble = look.mean;
            return false;
        }
        return levelWithMarble > 0 && look.litPurple == 0 && look.mean >= 0.85 * levelWithMarble;
    })) << "the marble never left the view in full light";

    // Another program takes the keyboard while d is held, and d is let go there:
    // the game never hears the release, but lets go of d itself when the focus
    // leaves, and the focus comes back. The server serves the probe alone
    // meanwhile, so the game sees it all at once, whatever the pace of either.
    const unsigned long other =
        probe.openWindow(probe.screenWidth() - 110, probe.screenHeight() - 110, 100, 100);
    ASSERT_NE(other, 0ul) << "could not open a window of another program";
    ASSERT_TRUE(probe.freeze());
    const bool moved = probe.focus(other) && probe.key("d", false) && probe.focus(window);
    probe.thaw();
    ASSERT_TRUE(moved);
    EXPECT_TRUE(probe.keyReleasedIn(other)) << "d was let go in the game's window";
    probe.destroy(other);

    ASSERT_TRUE(waitFor("dark", [](const WindowImage& i) { return Look(i).brightest <= 24; }))
        << "the light never faded out";
    ASSERT_TRUE(waitFor("restarted", marbleLit)) << "no new run";
    // With no key held the marble rolls straight down to the yellow obstacle and
    // stops there, at its spot, while the light fades out (in full light some 3500
    // of its pixels are lit purple, over 1500 until the light has fallen by half).
    // Still steering, it would leave the view in full light, as it did above, and
    // the light would fade without it. (An obstacle passing in front hides it only
    // for a moment: it is seen again in full light.)
    bool outOfView = false, steered = false;
    levelWithMarble = 0;
    ASSERT_TRUE(waitFor("straight", [&](const WindowImage& i) {
        const Look whole(i), look(i, marble);
        if (whole.mostRedOverGreen >= fullLightRedOverGreen) {
            levelWithMarble = whole.mean;
            outOfView = false;
        } else if (levelWithMarble > 0 && whole.litPurple == 0) {
            if (whole.mean >= 0.85 * levelWithMarble)
                outOfView = true;
            else if (outOfView)
                steered = true;
        }
        return steered || (look.litPurple >= 1500 && look.mostRedOverGreen <= 180);
    })) << "the marble did not stay in view as the light faded";
    EXPECT_FALSE(steered) << "the marble left the view and the light faded: it still steers";

    // Escape ends the program with status 0.
    ASSERT_TRUE(probe.key("Escape", true));
    probe.key("Escape", false); // the process may already be gone
    int status = 0;
    ASSERT_TRUE(game->waitForExit(patience, status)) << "Escape did not end the game";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << GameProcess::describe(status);
}

// Started where surface.bmp is no bitmap, the game writes the loader's line, shows
// it in a box captioned "Error" and draws nothing until the player dismisses the
// box, each way a player can; then it plays on, the track untextured.
TEST_F(GameWindow, UnreadableTextureIsShownInABoxThatHoldsTheGame)
{
    char pattern[] = "/tmp/marble-dialog-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    const std::string folder = pattern, errors = folder + "/stderr.txt";
    std::ofstream(folder + "/surface.bmp") << "not a bitmap";
    // A box is dark ink (a line of text above, the OK button below) on a light ground.
    const auto isInk = [](Pixel p) { return std::max({p[0], p[1], p[2]}) < 96; };
    const auto showsMessage = [&](const WindowImage& box) {
        int light = 0, left = box.width, right = -1, lowerInk = 0;
        for (int y = 0; y < box.height; ++y)
            for (int x = 0; x < box.width; ++x) {
                light += std::min({box.at(x, y)[0], box.at(x, y)[1], box.at(x, y)[2]}) >= 200;
                if (isInk(box.at(x, y)) && y < box.height / 2) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
                lowerInk += isInk(box.at(x, y)) && y >= box.height / 2;
            }
        return light * 2 > box.width * box.height && right - left >= 120 && lowerInk > 0;
    };
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
            return n > 0 && probe.focus(window) && probe.key("Escape", true) &&
                   probe.key("Escape", false) && probe.click(box, int(x / n), int(y / n));
        },
        [&](unsigned long box, const WindowImage&) { return probe.requestClose(box); },
        // Another program destroys it (xdotool windowclose): dismissed all the same.
        [&](unsigned long box, const WindowImage&) { return probe.destroy(box); },
    };
    for (const auto& dismiss : dismissals) {
        ASSERT_NO_FATAL_FAILURE(start(folder, errors));
        unsigned long box = 0;
        WindowImage image;
        const auto deadline = Clock::now() + patience;
        while (
            !((box = probe.findWindow("Error")) && probe.grab(box, image) && showsMessage(image)) &&
            Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_TRUE(box && showsMessage(image)) << "no box captioned Error showed its text";
        // No window manager gives it the focus here: it takes the focus itself.
        while (probe.focusedWindow() != box && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_EQ(box, probe.focusedWindow()) << "the box did not take the keyboard";
        // A dialog of the game's: owned by its window, modal, of its class, closed on request.
        const auto holds = [&](const char* property, const std::vector<unsigned long>& items) {
            std::vector<unsigned long> held;
            return probe.numberProperty(box, property, held) && held == items;
        };
        EXPECT_TRUE(holds("WM_TRANSIENT_FOR", {window}));
        EXPECT_TRUE(holds("_NET_WM_WINDOW_TYPE", {probe.atom("_NET_WM_WINDOW_TYPE_DIALOG")}));
        EXPECT_TRUE(holds("_NET_WM_STATE", {probe.atom("_NET_WM_STATE_MODAL")}));
        EXPECT_TRUE(holds("WM_PROTOCOLS", {probe.atom("WM_DELETE_WINDOW")}));
        std::string boxClass, gameClass;
        EXPECT_TRUE(probe.textProperty(box, "WM_CLASS", boxClass) &&
                    probe.textProperty(window, "WM_CLASS", gameClass) && !boxClass.empty());
        EXPECT_EQ(gameClass, boxClass);
        std::ifstream written(errors);
        EXPECT_EQ("Error: Image file conversion error.\n",
                  std::string(std::istreambuf_iterator<char>(written), {}));

        // Every pixel of the game's window beside the box is still black.
        XWindowProbe::Geometry at, beside;
        ASSERT_TRUE(probe.getGeometry(box, at) && probe.getGeometry(window, beside));
        ASSERT_TRUE(probe.grab(window, picture));
        int drawn = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const int sx = beside.x + x - at.x, sy = beside.y + y - at.y;
                const bool underBox = sx >= 0 && sx < at.width && sy >= 0 && sy < at.height;
                const Pixel p = picture.at(x, y);
                drawn += !underBox && std::max({p[0], p[1], p[2]}) > 0;
            }
        EXPECT_EQ(0, drawn) << "the game drew while the box was open";

        ASSERT_TRUE(dismiss(box, image));
        while (probe.findWindow("Error") && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(probe.findWindow("Error")) << "the box stayed open";
        ASSERT_TRUE(waitFor("after-box", marbleLit)) << "the game did not play on after the box";
        EXPECT_LE(Look(picture, firstRamp).contrast(), 3) << "the first ramp looks textured";
        EXPECT_GE(Look(picture, firstRamp).contrast(), 0) << "no track on the first ramp";
        // The box handed the keyboard back: Escape, typed away from the window, ends
        // the game.
        ASSERT_TRUE(pointerAway() && probe.key("Escape", true));
        probe.key("Escape", false); // the process may already be gone
        int status = 0;
        ASSERT_TRUE(game->waitForExit(patience, status))
            << "the game did not get the keyboard back";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << GameProcess::describe(status);
        game.reset();
    }
    std::filesystem::remove_all(folder);
}
