#include <gtest/gtest.h>

#include <map>
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

Scene* sharedScene()
{
    static Scene* scene = new Scene();
    return scene;
}

// A game lives until the process ends and owns what it builds; keep each
// reachable so the leak checker sees it as such.
Game& newGame()
{
    static auto* games = new std::vector<Game*>();
    games->push_back(new Game(sharedScene()));
    return *games->back();
}

} // namespace

TEST(Game, ForwardsInputToTheControlsAndIdleToTheSimulation)
{
    glRecorder::reset();
    Game& game = newGame();
    for (int i = 0; i < 400; ++i)
        game.idle();
    EXPECT_EQ(400, glRecorder::count("glutPostRedisplay"));
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

// Keys a player holds on one rolling tick.
struct Keys {
    unsigned char steer; // 'a', 'd' or 0
    bool brake;
};

// A scripted player: either holds one key over a span of rolling ticks, or
// (autopilot) steers for the middle of the track and round the obstacles,
// braking above a speed, so that runs reach the end line.
struct Player {
    unsigned char key;
    int pressAt, releaseAt;
    float maxSpeed; // > 0: autopilot

    Keys keys(const Simulation& sim, int rollingTick) const
    {
        if (maxSpeed <= 0.0f) {
            const bool held = key && rollingTick >= pressAt && rollingTick < releaseAt;
            return {key == 'b' || !held ? static_cast<unsigned char>(0) : key, key == 'b' && held};
        }
        const Vec3* quad = sim.getQuad();
        const Vec3 p = sim.getPosition();
        float target = (quad[2].z + quad[3].z) * 0.5f;
        const float obstacles[3][2] = {{25, 0.5f}, {50, -4.5f}, {135, 1.5f}};
        for (const auto& o : obstacles)
            if (p.x > o[0] - 4 && p.x < o[0] + 1.2f) {
                const float left = quad[2].z, right = quad[3].z;
                target =
                    o[1] - left > right - o[1] ? (left + o[1] - 1) / 2 : (o[1] + 1 + right) / 2;
            }
        const unsigned char steer = p.z < target - 0.1f ? 'd' : p.z > target + 0.1f ? 'a' : 0;
        return {steer, sim.getSpeed() > maxSpeed};
    }
};

// The outcome of one run, to compare bit for bit between runs of the same player.
struct Outcome {
    bool crashed;
    int rollingTicks;
    uint32_t x, y, z;
    bool operator==(const Outcome& o) const
    {
        return crashed == o.crashed && rollingTicks == o.rollingTicks && x == o.x && y == o.y &&
               z == o.z;
    }
};

// Sends key events for the change from one set of held keys to the next.
void press(Game& game, Keys from, Keys to)
{
    if (from.steer && from.steer != to.steer)
        game.keyboardUp(from.steer, 0, 0);
    if (to.steer && to.steer != from.steer)
        game.keyboard(to.steer, 0, 0);
    if (from.brake != to.brake)
        to.brake ? game.keyboard('b', 0, 0) : game.keyboardUp('b', 0, 0);
}

} // namespace

// Many runs of the self-restarting game with scripted play: every run of the
// same player ends bit for bit the same, and no run reads the track beyond the
// row after the end line.
TEST(GameSoak, TwoHundredThousandTicksRepeatRunForRun)
{
    const Player players[] = {
        {0, 0, 0, 0},        // no input: rolls into the yellow obstacle
        {'b', 0, 100000, 0}, // brake held: comes to rest in the first segment
        {'d', 0, 100000, 0}, // steer right: off the right edge
        {'a', 0, 100000, 0}, // steer left: off the left edge
        {'d', 975, 995, 0},  // past the yellow obstacle, off into the first bend
        {0, 0, 0, 0.05f},    // autopilot to the end line
        {0, 0, 0, 0.08f},    // a faster autopilot
    };
    const int playerCount = sizeof players / sizeof players[0];

    Game& game = newGame();
    Simulation* sim = game.getSimulation();
    const TrackCursor lastRowAllowed = trackVertices + 3 * size_t(154);

    std::map<int, Outcome> first;
    int run = 0, rollingTick = 0, runsChecked = 0, finishLines = 0;
    Keys held = {0, false};
    for (int tick = 0; tick < 200000; ++tick) {
        const Player& player = players[run % playerCount];
        const bool rolling = !sim->isIntro() && !sim->isFinished() && !sim->isCrashed();
        const Keys wanted = rolling ? player.keys(*sim, rollingTick) : Keys{0, false};
        press(game, held, wanted);
        held = wanted;

        game.idle();
        if (tick % 4096 == 0)
            glRecorder::reset(); // keep the call log small
        ASSERT_LE(sim->getTrackCursor(), lastRowAllowed) << "run " << run;
        if (!rolling)
            continue;
        ++rollingTick;
        if (!sim->isFinished() && !sim->isCrashed())
            continue;

        Vec3 p;
        sharedScene()->getMarble()->getPosition(&p.x, &p.y, &p.z);
        const Outcome o{sim->isCrashed(), rollingTick, bits(p.x), bits(p.y), bits(p.z)};
        finishLines += p.x > 148.1f;
        const int key = run % playerCount;
        if (first.count(key)) {
            EXPECT_TRUE(first[key] == o) << "run " << run << " differs from its first";
            ++runsChecked;
        } else {
            first[key] = o;
        }
        ++run;
        rollingTick = 0;
    }
    EXPECT_GE(runsChecked, playerCount);
    EXPECT_GE(finishLines, 2);
}
