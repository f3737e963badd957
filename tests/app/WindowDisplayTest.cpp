// End-to-end tests of the game program: each starts the real binary on the X
// display the test command provides (Xvfb with Mesa's software renderer), looks
// at its window from outside and types into it, as a player would.
//
// Nothing here measures time: every wait polls a condition on the picture and
// gives up after a generous bound, with a message that says what never happened.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/WindowImage.h"
#include "tools/XWindowProbe.h"

namespace {

using Clock = std::chrono::steady_clock;

// Generous: llvmpipe on a busy machine may draw slowly, and a run of the game
// takes a few thousand frames.
constexpr auto patience = std::chrono::seconds(120);

constexpr int windowWidth = 1273;
constexpr int windowHeight = 970;

struct Point {
    double x, y, z;
};

Point operator-(Point a, Point b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

double dot(Point a, Point b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Point cross(Point a, Point b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Point normalized(Point a)
{
    const double length = std::sqrt(dot(a, a));
    return {a.x / length, a.y / length, a.z / length};
}

// Where in the window (column, row from the top) the game's camera puts a world
// point, and how many pixels a length of 1 there spans: gluLookAt with up +y,
// gluPerspective(60, width / height, 1, 200), the viewport the whole window.
struct ScreenSpot {
    int column;
    int row;
    double pixelsPerUnit;
};

ScreenSpot project(Point eye, Point center, Point world)
{
    const Point forward = normalized(center - eye);
    const Point side = normalized(cross(forward, {0, 1, 0}));
    const Point up = cross(side, forward);
    const Point d = world - eye;
    const double depth = dot(forward, d);
    const double focal = 1.0 / std::tan(30.0 * M_PI / 180.0);
    const double aspect = double(windowWidth) / windowHeight;
    const double ndcX = focal / aspect * dot(side, d) / depth;
    const double ndcY = focal * dot(up, d) / depth;
    return {int(std::lround((ndcX + 1) / 2 * windowWidth)),
            int(std::lround((1 - ndcY) / 2 * windowHeight)), focal * windowHeight / 2 / depth};
}

// The camera at the start of a run, and at the end of the intro after 399 rises of
// (0, 0.02, 0.02); the marble's start. While the marble rolls the camera moves with
// it, so the marble keeps the spot it had at the end of the intro.
const Point startEye = {8, 0, -3};
const Point risenEye = {8, 7.98, 4.98};
const Point center = {0, 5, 1};
const Point marbleStart = {0.5, 5.5, 1};
constexpr double marbleRadius = 0.5;

int brightest(const unsigned char* p)
{
    return std::max(p[0], std::max(p[1], p[2]));
}

// The marble's diffuse colour is (0.8, 0, 0.6), and it has no other colour of its
// own: ambient and specular light add the same to all three channels. So red minus
// green is 0.8 x light x cos(angle to the light) x 255, blue minus green 0.6 x that;
// where the marble faces the light straight on, red stands 204 x light above green.
bool isLitPurple(const unsigned char* p)
{
    return p[0] >= p[1] + 80 && p[2] >= p[1] + 60;
}

// Full light: at least 0.93 of it on the marble (the intro ends at 0.9975).
constexpr int fullLightRedOverGreen = 190;

// The yellow obstacle, (1, 1, 0) lit: red and green high and alike, blue low.
bool isLitYellow(const unsigned char* p)
{
    return p[0] >= 120 && p[1] >= 120 && std::abs(p[0] - p[1]) <= 40 &&
           p[2] <= std::min(p[0], p[1]) / 2;
}

// Pixels within a disc around a spot that pass a test.
int countNear(const WindowImage& image, ScreenSpot spot, double radius,
              const std::function<bool(const unsigned char*)>& test)
{
    int count = 0;
    const int r = int(std::ceil(radius));
    for (int y = std::max(0, spot.row - r); y <= std::min(image.height - 1, spot.row + r); ++y)
        for (int x = std::max(0, spot.column - r); x <= std::min(image.width - 1, spot.column + r);
             ++x) {
            const double dx = x - spot.column, dy = y - spot.row;
            if (dx * dx + dy * dy <= radius * radius && test(image.at(x, y)))
                ++count;
        }
    return count;
}

int countAll(const WindowImage& image, const std::function<bool(const unsigned char*)>& test)
{
    int count = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            count += test(image.at(x, y)) ? 1 : 0;
    return count;
}

int brightestNear(const WindowImage& image, ScreenSpot spot, double radius)
{
    int most = 0;
    countNear(image, spot, radius, [&](const unsigned char* p) {
        most = std::max(most, brightest(p));
        return false;
    });
    return most;
}

// How far red stands above green on the marble near a spot, or anywhere.
int mostRedOverGreen(const WindowImage& image, ScreenSpot spot, double radius)
{
    int most = 0;
    countNear(image, spot, radius, [&](const unsigned char* p) {
        if (isLitPurple(p))
            most = std::max(most, p[0] - p[1]);
        return false;
    });
    return most;
}

int mostRedOverGreen(const WindowImage& image)
{
    return mostRedOverGreen(image, {image.width / 2, image.height / 2, 0},
                            std::hypot(image.width, image.height) / 2 + 1);
}

bool anythingDrawn(const WindowImage& image)
{
    return countAll(image, [](const unsigned char* p) { return brightest(p) > 0; }) > 0;
}

// Mean of every pixel's brightest channel: falls with the light, whatever is in view.
double meanLevel(const WindowImage& image)
{
    double sum = 0;
    countAll(image, [&](const unsigned char* p) {
        sum += brightest(p);
        return false;
    });
    return sum / (double(image.width) * image.height);
}

// The darkest and lightest pixels (sum of the channels) on the steep middle of the
// first ramp at the end of the intro. It is one flat quad with one normal, lit by a
// directional light and seen by an infinitely distant viewer (OpenGL's default): its
// lighting is the same everywhere, so only the texture can vary its pixels.
struct RampLevels {
    int darkest;
    int lightest;
};

RampLevels rampLevels(const WindowImage& image)
{
    RampLevels levels = {255 * 3, 0};
    countNear(image, project(risenEye, center, {3.875, 3.625, 1.0}), 20,
              [&](const unsigned char* p) {
                  const int level = p[0] + p[1] + p[2];
                  levels.darkest = std::min(levels.darkest, level);
                  levels.lightest = std::max(levels.lightest, level);
                  return false;
              });
    return levels;
}

// A running game, started the way a user would in the folder that holds its
// texture; killed and reaped when the object goes, whatever the test did. Its
// standard error goes to errorFile when one is named.
class GameProcess {
public:
    GameProcess(const std::string& path, const std::string& command, const std::string& folder,
                const std::string& errorFile = "")
    {
        // Mesa's software driver keeps its frame buffers to the end and is unloaded
        // before a sanitized game's leak check runs, which then reports blocks of an
        // unknown module that no suppression can name. The game itself frees nothing
        // by design, so the check would only measure the driver: it is off for the
        // game. Every other sanitizer error still ends the game and fails the test.
        std::vector<std::string> environment;
        std::string sanitizerOptions = "ASAN_OPTIONS=detect_leaks=0";
        for (char** e = environ; *e; ++e) {
            if (std::strncmp(*e, "ASAN_OPTIONS=", 13) == 0)
                sanitizerOptions = std::string(*e) + ":detect_leaks=0";
            else
                environment.push_back(*e);
        }
        environment.push_back(sanitizerOptions);
        std::vector<char*> envp;
        envp.reserve(environment.size() + 1);
        for (std::string& e : environment)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string argv0 = command;
        char* argv[] = {argv0.data(), nullptr};

        const pid_t parent = getpid();
        pid = fork();
        if (pid == 0) {
            // Dies with the test, even when the test is killed.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            const int error =
                errorFile.empty() ? 2 : open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (getppid() == parent && chdir(folder.c_str()) == 0 && dup2(error, 2) == 2)
                execve(path.c_str(), argv, envp.data());
            _exit(127);
        }
    }
    ~GameProcess()
    {
        if (pid > 0 && !reaped) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    bool started() const { return pid > 0; }

    // True, with the wait status, once the process has ended.
    bool hasEnded(int& status)
    {
        if (!reaped && waitpid(pid, &status, WNOHANG) == pid) {
            reaped = true;
            endStatus = status;
        }
        status = endStatus;
        return reaped;
    }

    // Waits for the process to end; false when it still runs at the deadline.
    bool waitForExit(Clock::time_point deadline, int& status)
    {
        while (!hasEnded(status) && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return reaped;
    }

private:
    pid_t pid = -1;
    bool reaped = false;
    int endStatus = 0;
};

// How a process ended, for messages.
std::string describe(int status)
{
    if (WIFEXITED(status))
        return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "signal " + std::to_string(WTERMSIG(status));
    return "wait status " + std::to_string(status);
}

class GameWindowTest : public testing::Test {
protected:
    void TearDown() override
    {
        game.reset();
        // A killed client's window lingers until the server notices; the next
        // test must not find it.
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (!title.empty() && probe.findWindow(title) && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    static std::string exeFolder()
    {
        return std::filesystem::path(MARBLE_EXE).parent_path().string();
    }

    // Starts the game as `command` (its argv[0]) in a folder, the build's by default,
    // and waits for its window.
    void start(const std::string& command, const std::string& folder = exeFolder(),
               const std::string& errorFile = "")
    {
        ASSERT_TRUE(probe.isOpen())
            << "no X display: run the display tests with make test, or under tools/with-xvfb.sh";
        ASSERT_GE(probe.screenWidth(), windowWidth) << "the screen is too small for the window";
        ASSERT_GE(probe.screenHeight(), windowHeight) << "the screen is too small for the window";
        title = command;
        const auto deadline = Clock::now() + patience;
        // A window left by a game killed with an earlier test must not be taken for this one.
        while (probe.findWindow(title) && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        game = std::make_unique<GameProcess>(MARBLE_EXE, command, folder, errorFile);
        ASSERT_TRUE(game->started());
        int status = 0;
        while (!(window = probe.findWindow(title)) && Clock::now() < deadline) {
            ASSERT_FALSE(game->hasEnded(status)) << "the game ended at start, " << describe(status);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_NE(window, 0ul) << "no window titled \"" << title << "\" appeared";
    }

    // Grabs pictures until one passes the test; false at the deadline, with the
    // last picture saved for a look. Held still, the game stalls while a picture
    // is taken and tested, and advances only a frame or so between two looks.
    bool waitForPicture(const std::string& label,
                        const std::function<bool(const WindowImage&)>& test, bool holdStill = false)
    {
        const auto deadline = Clock::now() + patience;
        int status = 0;
        while (Clock::now() < deadline) {
            if (holdStill && !probe.freeze()) {
                ADD_FAILURE() << "cannot hold the display still";
                return false;
            }
            const bool passed = probe.grab(window, picture) && test(picture);
            if (holdStill)
                probe.thaw();
            if (passed)
                return true;
            if (game->hasEnded(status)) {
                ADD_FAILURE() << "the game ended early, " << describe(status);
                return false;
            }
            if (!holdStill)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (picture.width > 0)
            save(picture, label + "-timed-out");
        return false;
    }

    // Keeps the pictures the tests look at, for a human to look at too.
    void save(const WindowImage& image, const std::string& label)
    {
        const std::filesystem::path folder = MARBLE_SCREENSHOT_DIR;
        std::filesystem::create_directories(folder);
        const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        EXPECT_TRUE(image.savePng((folder / (name + "-" + label + ".png")).string()));
    }

    XWindowProbe probe;
    std::unique_ptr<GameProcess> game;
    std::string title;
    unsigned long window = 0;
    WindowImage picture;
};

TEST_F(GameWindowTest, WindowIsSizedPlacedAndTitledWithItsCommand)
{
    const std::string relative = "./" + std::filesystem::path(MARBLE_EXE).filename().string();
    for (const std::string& command : {std::string(MARBLE_EXE), relative}) {
        SCOPED_TRACE(command);
        ASSERT_NO_FATAL_FAILURE(start(command));
        XWindowProbe::Geometry geometry;
        ASSERT_TRUE(probe.getGeometry(window, geometry));
        EXPECT_EQ(windowWidth, geometry.width);
        EXPECT_EQ(windowHeight, geometry.height);
        // A window manager may frame and move it; on a bare server it stands where asked.
        if (!geometry.reparented) {
            EXPECT_EQ(0, geometry.x);
            EXPECT_EQ(0, geometry.y);
        }
        TearDown();
    }
}

TEST_F(GameWindowTest, FirstFramesAreDarkButNotBlack)
{
    ASSERT_NO_FATAL_FAILURE(start(MARBLE_EXE));
    // The light starts black and brightens every frame: look while the game is
    // held still, so the first drawn frame is caught before the light comes up.
    ASSERT_TRUE(waitForPicture("first", anythingDrawn, true)) << "the window stayed black";
    save(picture, "first");

    // Only OpenGL's default ambient light shows, 0.2 x 0.2 of the colours (at most
    // 10 of 255), with at most a few steps of the light's fade-in: very dark.
    int most = 0;
    countAll(picture, [&](const unsigned char* p) {
        most = std::max(most, brightest(p));
        return false;
    });
    EXPECT_LE(most, 20) << "the first picture seen is already lit";

    // The clear colour is black where nothing is drawn: the sky above the deck.
    for (int x : {0, windowWidth - 1})
        for (int y : {0, 40}) {
            const unsigned char* p = picture.at(x, y);
            EXPECT_EQ(0, p[0] + p[1] + p[2]) << "at " << x << ", " << y;
        }

    // Where the marble stands something is drawn, dark but not black: the camera
    // starts below the deck, so this is the deck's underside hiding the marble, or
    // the marble itself where no track is drawn.
    const ScreenSpot marble = project(startEye, center, marbleStart);
    const double inner = marbleRadius * marble.pixelsPerUnit / 2;
    const int drawnNear =
        countNear(picture, marble, inner, [](const unsigned char* p) { return brightest(p) > 0; });
    const int allNear =
        countNear(picture, marble, inner, [](const unsigned char*) { return true; });
    EXPECT_EQ(allNear, drawnNear) << "near the marble at " << marble.column << ", " << marble.row;
    EXPECT_LE(brightestNear(picture, marble, inner), 20);
}

TEST_F(GameWindowTest, LightFadesInOnTexturedTrackPurpleMarbleAndYellowObstacle)
{
    ASSERT_NO_FATAL_FAILURE(start(MARBLE_EXE));
    const ScreenSpot marble = project(risenEye, center, marbleStart);
    const double radius = marbleRadius * marble.pixelsPerUnit;
    ASSERT_TRUE(waitForPicture("lit",
                               [&](const WindowImage& image) {
                                   return mostRedOverGreen(image, marble, radius) >=
                                          fullLightRedOverGreen;
                               }))
        << "the marble never showed in full light at " << marble.column << ", " << marble.row;
    save(picture, "lit");

    const unsigned char* corner = picture.at(0, 0);
    EXPECT_EQ(0, corner[0] + corner[1] + corner[2]) << "the clear colour is black";

    const RampLevels ramp = rampLevels(picture);
    EXPECT_GT(ramp.darkest, 0) << "no track on the first ramp";
    EXPECT_GE(ramp.lightest - ramp.darkest, 15) << "the first ramp looks untextured";

    // Left alone, the marble rolls down to the yellow obstacle, which comes into
    // view beside it as the camera follows.
    ASSERT_TRUE(waitForPicture("yellow", [&](const WindowImage& image) {
        return countAll(image, isLitYellow) >= radius * radius;
    })) << "the yellow obstacle never came into view";
    save(picture, "yellow");
    EXPECT_GE(mostRedOverGreen(picture, marble, radius), fullLightRedOverGreen)
        << "the marble left its place in the view while rolling";
}

TEST_F(GameWindowTest, HoldingDSteersOffTheTrackAndTheRunStartsAgain)
{
    ASSERT_NO_FATAL_FAILURE(start(MARBLE_EXE));
    ASSERT_TRUE(probe.hasXTest()) << "the X server lacks the XTEST extension";
    ASSERT_TRUE(probe.focus(window));
    // Auto-repeat is ignored by the game: one press holds the key until released.
    ASSERT_TRUE(probe.key("d", true));

    const ScreenSpot marble = project(risenEye, center, marbleStart);
    const double radius = marbleRadius * marble.pixelsPerUnit;
    const auto marbleShows = [&](const WindowImage& image) {
        return mostRedOverGreen(image, marble, radius) >= fullLightRedOverGreen;
    };
    ASSERT_TRUE(waitForPicture("lit", marbleShows)) << "the marble never showed lit";
    save(picture, "lit");

    // A crash: the marble falls out of view while the light is still full. A finish
    // keeps it in view, and its purple fades away only with the light, below 0.4.
    // The camera stands still after either, so the mean level of the picture
    // follows the light: it must not have dropped since the marble was last seen
    // in full light (the marble alone makes a few percent of it).
    double levelWithMarble = 0;
    ASSERT_TRUE(waitForPicture("fallen", [&](const WindowImage& image) {
        if (mostRedOverGreen(image) >= fullLightRedOverGreen) {
            levelWithMarble = meanLevel(image);
            return false;
        }
        return levelWithMarble > 0 && countAll(image, isLitPurple) == 0 &&
               meanLevel(image) >= 0.85 * levelWithMarble;
    })) << "the marble never left the view in full light";
    save(picture, "fallen");

    ASSERT_TRUE(waitForPicture("dark", [&](const WindowImage& image) {
        return countAll(image, [](const unsigned char* p) { return brightest(p) > 24; }) == 0;
    })) << "the light never faded out";
    save(picture, "dark");

    ASSERT_TRUE(waitForPicture("restarted", marbleShows))
        << "no new run: the marble never showed lit at its start again";
    save(picture, "restarted");
    EXPECT_TRUE(probe.key("d", false));
}

TEST_F(GameWindowTest, EscapeEndsTheProgramWithStatusZero)
{
    ASSERT_NO_FATAL_FAILURE(start(MARBLE_EXE));
    ASSERT_TRUE(probe.hasXTest()) << "the X server lacks the XTEST extension";
    // Once a frame is drawn the game is in its event loop with its keys handled.
    ASSERT_TRUE(waitForPicture("drawn", anythingDrawn));
    ASSERT_TRUE(probe.focus(window));
    ASSERT_TRUE(probe.key("Escape", true));
    probe.key("Escape", false); // the process may already be gone
    int status = 0;
    ASSERT_TRUE(game->waitForExit(Clock::now() + patience, status)) << "Escape did not end it";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << describe(status);
}

// A message box is dark text and a dark-framed button on a light ground.
bool isInk(const unsigned char* p)
{
    return brightest(p) < 96;
}

// The box is drawn, with a line of text in its upper half (this one is some 150 pixels
// long) and the OK button in its lower half.
bool showsMessage(const WindowImage& box)
{
    const int light = countAll(box, [](const unsigned char* p) { return brightest(p) >= 200; });
    int left = box.width, right = -1, lowerInk = 0;
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x) {
            if (!isInk(box.at(x, y)))
                continue;
            if (y < box.height / 2) {
                left = std::min(left, x);
                right = std::max(right, x);
            } else {
                ++lowerInk;
            }
        }
    return light * 2 > box.width * box.height && right - left >= 120 && lowerInk > 0;
}

// Where the OK button is: the middle of the ink in the lower half.
void buttonCentre(const WindowImage& box, int& x, int& y)
{
    long sumX = 0, sumY = 0, count = 0;
    for (int row = box.height / 2; row < box.height; ++row)
        for (int column = 0; column < box.width; ++column)
            if (isInk(box.at(column, row))) {
                sumX += column;
                sumY += row;
                ++count;
            }
    x = count ? int(sumX / count) : 0;
    y = count ? int(sumY / count) : 0;
}

std::string fileText(const std::string& path)
{
    std::ifstream file(path);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Started where surface.bmp is no bitmap, the game writes the loader's line, then shows
// it in a box captioned "Error" and holds until the player dismisses the box, each way a
// player can. Then it plays on, with the track untextured.
TEST_F(GameWindowTest, UnreadableTextureIsShownInABoxThatHoldsTheGameUntilDismissed)
{
    ASSERT_TRUE(probe.hasXTest()) << "the X server lacks the XTEST extension";
    char pattern[] = "/tmp/marble-dialog-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    const std::string folder = pattern;
    std::ofstream(folder + "/surface.bmp") << "not a bitmap";
    const std::string errorFile = folder + "/stderr.txt";

    const std::function<bool(unsigned long, const WindowImage&)> dismissals[] = {
        [&](unsigned long box, const WindowImage&) {
            return probe.focus(box) && probe.key("Return", true) && probe.key("Return", false);
        },
        [&](unsigned long box, const WindowImage& image) {
            int x, y;
            buttonCentre(image, x, y);
            return probe.click(box, x, y);
        },
        [&](unsigned long box, const WindowImage&) { return probe.requestClose(box); },
    };
    const char* const names[] = {"Enter", "a click on OK", "the close request"};
    const ScreenSpot marble = project(risenEye, center, marbleStart);
    const double radius = marbleRadius * marble.pixelsPerUnit;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(names[i]);
        ASSERT_NO_FATAL_FAILURE(start(MARBLE_EXE, folder, errorFile));

        unsigned long box = 0;
        WindowImage boxImage;
        const auto deadline = Clock::now() + patience;
        while (!((box = probe.findWindow("Error")) && probe.grab(box, boxImage) &&
                 showsMessage(boxImage)) &&
               Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_TRUE(box && showsMessage(boxImage)) << "no box captioned Error showed its text";
        save(boxImage, std::string("box-") + char('0' + i));
        EXPECT_EQ("Error: Image file conversion error.\n", fileText(errorFile));

        // Nothing drawn in the game's window: every pixel beside the box is still black.
        XWindowProbe::Geometry at, beside;
        ASSERT_TRUE(probe.getGeometry(box, at) && probe.getGeometry(window, beside));
        ASSERT_TRUE(probe.grab(window, picture));
        int drawn = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const int screenX = beside.x + x, screenY = beside.y + y;
                const bool underBox = screenX >= at.x && screenX < at.x + at.width &&
                                      screenY >= at.y && screenY < at.y + at.height;
                drawn += !underBox && brightest(picture.at(x, y)) > 0 ? 1 : 0;
            }
        EXPECT_EQ(0, drawn) << "the game drew while the box was open";

        ASSERT_TRUE(dismissals[i](box, boxImage));
        while (probe.findWindow("Error") && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(probe.findWindow("Error")) << "the box stayed open";
        ASSERT_TRUE(waitForPicture("lit", [&](const WindowImage& image) {
            return mostRedOverGreen(image, marble, radius) >= fullLightRedOverGreen;
        })) << "the game did not play on after the box";
        const RampLevels ramp = rampLevels(picture);
        EXPECT_GT(ramp.darkest, 0) << "no track on the first ramp";
        EXPECT_LE(ramp.lightest - ramp.darkest, 3) << "the first ramp looks textured";
        TearDown();
    }
    std::filesystem::remove_all(folder);
}

} // namespace
