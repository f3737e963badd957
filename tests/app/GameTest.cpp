#include <gtest/gtest.h>

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

// The keys a scripted player holds on a rolling tick: one key over a span of
// ticks or, as an autopilot, steering for the middle of the track and round the
// obstacles, braking above a speed, so that runs reach the end line.
struct Player {
    unsigned char key;
    int pressAt, releaseAt;
    float maxSpeed; // > 0: autopilot

    std::pair<unsigned char, bool> keys(const Simulation& sim, int tick) const
    {
        if (maxSpeed <= 0) {
            const bool held = key && tick >= pressAt && tick < releaseAt;
            return {held && key != 'b' ? key : 0, held && key == 'b'};
        }
        const Vec3* quad = sim.getQuad();
        const Vec3 p = sim.getPosition();
        const float left = quad[2].z, right = quad[3].z;
        float target = (left + right) * 0.5f;
        for (const auto& o : {std::pair<float, float>{25, 0.5f}, {50, -4.5f}, {135, 1.5f}})
            if (p.x > o.first - 4 && p.x < o.first + 1.2f)
                target = o.second - left > right - o.second ? (left + o.second - 1) / 2
                                                            : (o.second + 1 + right) / 2;
        return {p.z < target - 0.1f   ? 'd'
                : p.z > target + 0.1f ? 'a'
                                      : 0,
                sim.getSpeed() > maxSpeed};
    }
};

} // namespace

// Many runs of the self-restarting game with scripted play: every run of a
// player ends bit for bit where pinned, however many runs came before, and no
// run reads the track beyond the row after the end line.
TEST(GameSoak, TwoHundredThousandTicksEndEveryRunWherePinned)
{
    const struct {
        Player player;
        std::vector<uint32_t> outcome; // crashed, rolling ticks, the marble's x, y, z
    } players[] = {
        // No input: rolls into the yellow obstacle.
        {{0, 0, 0, 0}, {0, 1091, 0x41c11261, 0x40300000, 0x3f800000}},
        // Brake held: comes to rest in the first segment.
        {{'b', 0, 100000, 0}, {0, 884, 0x40193bb4, 0x40b00000, 0x3f800000}},
        // Steering right, then left: off the edges.
        {{'d', 0, 100000, 0}, {1, 105, 0x3f34314e, 0x40b00000, 0x40008f7b}},
        {{'a', 0, 100000, 0}, {1, 105, 0x3f34314e, 0x40b00000, 0xbc0f7c22}},
        // Past the yellow obstacle, off into the first bend.
        {{'d', 975, 995, 0}, {1, 1413, 0x41ff01f7, 0x40300000, 0x3fc4f491}},
        // Autopilots to the end line.
        {{0, 0, 0, 0.05f}, {0, 5305, 0x43141d70, 0xc0300081, 0x3f6b66d5}},
        {{0, 0, 0, 0.08f}, {0, 4982, 0x431424d1, 0xc02fffbf, 0x3f694302}},
    };
    const int playerCount = sizeof players / sizeof players[0];
    Game& game = newGame();
    const Simulation* sim = game.getSimulation();

    int run = 0, rollingTick = 0;
    std::pair<unsigned char, bool> held = {0, false};
    for (int tick = 0; tick < 200000; ++tick) {
        const bool rolling = !sim->isIntro() && !sim->isFinished() && !sim->isCrashed();
        const auto wanted = rolling ? players[run % playerCount].player.keys(*sim, rollingTick)
                                    : std::pair<unsigned char, bool>{0, false};
        if (held.first && held.first != wanted.first)
            game.keyboardUp(held.first, 0, 0);
        if (wanted.first && wanted.first != held.first)
            game.keyboard(wanted.first, 0, 0);
        if (held.second != wanted.second)
            wanted.second ? game.keyboard('b', 0, 0) : game.keyboardUp('b', 0, 0);
        held = wanted;

        game.idle();
        if (tick % 4096 == 0)
            glRecorder::reset(); // keep the call log small
        ASSERT_LE(sim->getTrackCursor(), trackVertices + 3 * std::size_t{154}) << "run " << run;
        if (!rolling || (++rollingTick, !sim->isFinished() && !sim->isCrashed()))
            continue;

        float x, y, z;
        sharedScene()->getMarble()->getPosition(&x, &y, &z);
        const std::vector<uint32_t> outcome = {sim->isCrashed(), uint32_t(rollingTick), bits(x),
                                               bits(y), bits(z)};
        EXPECT_EQ(players[run % playerCount].outcome, outcome) << "run " << run;
        ++run;
        rollingTick = 0;
    }
    EXPECT_GE(run, 2 * playerCount);
}
