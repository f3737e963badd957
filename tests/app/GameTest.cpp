#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <GL/freeglut.h>

#include "app/Game.h"
#include "scene/Camera.h"
#include "scene/Marble.h"
#include "scene/Scene.h"
#include "scene/TrackTables.h"
#include "sim/Simulation.h"
#include "support/Bits.h"
#include "support/GlRecorder.h"

namespace {

// Games, and the scene they share, live until the process ends, like the game's
// own; built on first use, after the recording double.
Scene* sharedScene()
{
    static Scene* scene = new Scene();
    return scene;
}

Game& newGame()
{
    static auto* games = new std::vector<Game*>();
    return *games->emplace_back(new Game(sharedScene()));
}

} // namespace

TEST(Game, ForwardsInputToTheControlsAndIdleToTheSimulation)
{
    Game& game = newGame();
    for (int i = 0; i < 400; ++i)
        game.idle();
    ASSERT_FALSE(game.getSimulation()->isIntro());

    // A brake and a left drag of 10 pixels right, on the first rolling tick.
    const float eyeX = sharedScene()->getCamera()->getEye().x;
    game.keyboard('b', 0, 0);
    game.mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
    game.motion(10, 0);
    game.idle();
    const float speed = static_cast<float>(static_cast<float>(0.01f * 0.9998) * 0.995);
    EXPECT_EQ(bits(speed), bits(game.getSimulation()->getSpeed()));
    EXPECT_EQ(bits((eyeX + float(10 * 0.001)) + speed),
              bits(sharedScene()->getCamera()->getEye().x));
}

namespace {

// Plays on to the end of the next run's rolling, before each of its rolling ticks
// calling beforeTick with the count of those done: whether it crashed, its rolling
// ticks and the marble's x, y, z then.
std::vector<uint32_t> playRun(Game& game, const std::function<void(int)>& beforeTick)
{
    const Simulation* sim = game.getSimulation();
    for (int i = 0; !sim->isIntro() && i < 1000; ++i)
        game.idle(); // the end of the run before
    for (int i = 0; sim->isIntro() && i < 1000; ++i)
        game.idle();
    int rolling = 0;
    for (; !sim->isFinished() && !sim->isCrashed() && rolling < 10000; ++rolling) {
        beforeTick(rolling);
        game.idle();
    }
    float x, y, z;
    sharedScene()->getMarble()->getPosition(&x, &y, &z);
    return {sim->isCrashed(), uint32_t(rolling), bits(x), bits(y), bits(z)};
}

} // namespace

// The controls are not reset between runs: a key held across the restart of a run
// keeps acting in the next. Keys let go, or held when the window loses the focus, act
// no more from the next tick on.
TEST(Game, HeldKeysOutlastARestartAndEndWhenTheFocusGoes)
{
    const std::vector<uint32_t> dHeld = {1, 105, 0x3f34314e, 0x40b00000, 0x40008f7b};
    Game& game = newGame();
    game.keyboard('d', 0, 0);
    EXPECT_EQ(dHeld, playRun(game, [](int) {}));
    EXPECT_EQ(dHeld, playRun(game, [](int) {}));
    // Braking too; d let go at rolling tick 30 and held again from 40 until the focus
    // goes at 60: the marble rolls on straight, slowly, into the yellow obstacle.
    const auto run = playRun(game, [&](int tick) {
        if (tick == 0)
            game.keyboard('b', 0, 0);
        if (tick == 30)
            game.keyboardUp('d', 0, 0);
        if (tick == 40)
            game.keyboard('d', 0, 0);
        if (tick == 60)
            game.focusLost();
    });
    EXPECT_EQ((std::vector<uint32_t>{0, 1612, 0x41c4db1d, 0x402ffffb, 0x3fb5b349}), run);
}
