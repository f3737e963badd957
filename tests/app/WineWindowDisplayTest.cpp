// The Windows game end to end, from this machine: marble.exe started under Wine on the
// test command's X display (Xvfb; Wine's opengl32 draws through Mesa), its window
// looked at from outside and typed into, as a player would (tests/support/GameWindow.h).
// The Windows build has this program built for the build machine; MARBLE_WINE_GAME
// starts the game under Wine.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/GameLook.h"
#include "support/GameWindow.h"
#include "support/PaintedIcon.h"
#include "support/TempDir.h"

namespace {

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

// Starts the game in a folder of its own.
bool start(GameWindow& game, const TempDir& folder, const std::string& errorFile = "")
{
    return game.start(MARBLE_WINE_GAME, windowsTitle(), folder.path, errorFile);
}

} // namespace

TEST(WineGameWindow, FadesInPlaysAndEndsOnEscape)
{
    TempDir folder;
    std::filesystem::copy_file(std::filesystem::path(MARBLE_WINDOWS_EXE).parent_path() /
                                   "surface.bmp",
                               folder.path + "/surface.bmp");
    GameWindow game(patience, MARBLE_SCREENSHOT_DIR "/wine");
    ASSERT_TRUE(start(game, folder)) << game.trouble;
    // The picture is the window's client area; Windows puts the corner of the frame
    // around it, border and title bar, at (0, 0).
    XWindowProbe::Geometry geometry;
    ASSERT_TRUE(game.probe.getGeometry(game.window, geometry));
    EXPECT_EQ(1273, geometry.width);
    EXPECT_EQ(970, geometry.height);
    EXPECT_LE(geometry.x, 16);
    EXPECT_LE(geometry.y, 48);
    // The window's and its taskbar button's icon, which Wine hands to X, is the
    // painted one in the sizes of a title bar and of the taskbar, not the system's.
    std::vector<unsigned long> icon;
    ASSERT_TRUE(game.probe.property(game.window, "_NET_WM_ICON", icon)) << "no _NET_WM_ICON";
    EXPECT_EQ((std::vector<unsigned long>{32, 16}), paintedIconSizes(icon, MARBLE_ICON_PAINTER));

    // The fade-in: the purple marble in full light at its spot, on a textured track.
    ASSERT_TRUE(game.waitFor("lit", GameLook::marbleLit))
        << "the marble never lit; " << game.trouble;
    EXPECT_GE(GameLook(game.picture, GameLook::firstRamp).contrast(), 15) << "untextured track";

    // Holding d steers off the track: the marble falls out of view in full light.
    GameLook::MarbleWatch watch;
    ASSERT_TRUE(game.probe.focus(game.window) && game.probe.key("d", true));
    ASSERT_TRUE(game.waitFor("fallen",
                             [&](const WindowImage& i) {
                                 watch.see(i);
                                 return watch.leftTheView();
                             }))
        << "the marble never left the view in full light; " << game.trouble;
    EXPECT_TRUE(game.probe.key("d", false));
    EXPECT_TRUE(game.endWithEscape()) << game.trouble;
}

// Beside a file that is no bitmap, the game writes the loader's line and shows it in
// the system's message box captioned "Error", owned by the game's window, which has
// the focus; Enter dismisses it and the game plays on, the track untextured.
TEST(WineGameWindow, UnreadableTextureIsShownInAMessageBox)
{
    TempDir folder;
    const std::string errors = folder.path + "/stderr.txt";
    std::ofstream(folder.path + "/surface.bmp") << "not a bitmap";
    GameWindow game(patience, MARBLE_SCREENSHOT_DIR "/wine");
    ASSERT_TRUE(start(game, folder, errors)) << game.trouble;
    // The line as wide as the loader's message in the system's font, beside the icon.
    ASSERT_TRUE(game.waitFor(
        "box", [](const WindowImage& i) { return GameLook::showsLineOfText(i, 100); }, false,
        "Error"))
        << "no box captioned Error showed its text; " << game.trouble;
    // Started with the focus, the game's window owns the box (WM_TRANSIENT_FOR, where
    // Wine names the owner of an owned window).
    const unsigned long box = game.probe.findWindow("Error");
    std::vector<unsigned long> owner;
    EXPECT_TRUE(game.probe.property(box, "WM_TRANSIENT_FOR", owner));
    EXPECT_EQ(std::vector<unsigned long>{game.window}, owner);
    std::ifstream written(errors);
    const std::string lines(std::istreambuf_iterator<char>(written), {});
    // Standard error is a text stream: Windows ends its lines with CR LF.
    const std::string line = "Error: Image file conversion error.\r\n";
    EXPECT_TRUE(lines.size() >= line.size() &&
                lines.compare(lines.size() - line.size(), line.size(), line) == 0)
        << lines;

    ASSERT_TRUE(game.probe.focus(box) && game.probe.key("Return", true) &&
                game.probe.key("Return", false));
    ASSERT_TRUE(game.waitFor("after-box", GameLook::marbleLit))
        << "no play after the box; " << game.trouble;
    EXPECT_FALSE(game.probe.findWindow("Error")) << "the box stayed open";
    EXPECT_LE(GameLook(game.picture, GameLook::firstRamp).contrast(), 3) << "textured";
    EXPECT_GE(GameLook(game.picture, GameLook::firstRamp).contrast(), 0) << "no track there";
    ASSERT_TRUE(game.probe.focus(game.window));
    EXPECT_TRUE(game.endWithEscape()) << game.trouble;
}
