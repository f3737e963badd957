#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "app/FramePacer.h"
#include "app/Game.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Scene.h"
#include "sim/Simulation.h"
#include "support/Bits.h"
#include "support/GlRecorder.h"

namespace {

using std::chrono::nanoseconds;

// When frame k of a display at hz begins, rounded up to the nanosecond.
int64_t refreshAt(int64_t k, int64_t hz)
{
    return (k * 1000000000 + hz - 1) / hz;
}

struct Display {
    const char* name;
    std::function<int64_t(int)> frameAt; // ns
    int frames;
    int ticks;                       // in all
    int fewest, most;                // in one frame after the first
    int stallAfter = -1, caught = 0; // the frame after a stall, and the ticks it runs
};

// Ten seconds of each display: 600 ticks, give or take the first frame's.
const Display displays[] = {
    {"60 Hz", [](int k) { return refreshAt(k, 60); }, 600, 600, 1, 1},
    {"75 Hz", [](int k) { return refreshAt(k, 75); }, 750, 600, 0, 1},
    {"120 Hz", [](int k) { return refreshAt(k, 120); }, 1200, 600, 0, 1},
    {"144 Hz", [](int k) { return refreshAt(k, 144); }, 1440, 600, 0, 1},
    {"30 Hz", [](int k) { return refreshAt(k, 30); }, 300, 599, 2, 2},
    // A 2-second stall after frame 99: 4 ticks catch up, the rest is dropped, and
    // the frames after run one each again.
    {"60 Hz, 2 s stall", [](int k) { return refreshAt(k, 60) + (k >= 100 ? 2000000000 : 0); }, 600,
     603, 1, 4, 100, 4},
    // Frames that each come up to 2 ms early or late run exactly one tick.
    {"60 Hz, 2 ms jitter",
     [](int k) {
         static std::minstd_rand random(1);
         return refreshAt(k, 60) +
                std::uniform_int_distribution<int64_t>(-2000000, 2000000)(random);
     },
     600, 600, 1, 1},
    {"60 Hz, 2 ms early and late by turns",
     [](int k) { return refreshAt(k, 60) + (k % 2 ? 2000000 : -2000000); }, 600, 600, 1, 1},
};

} // namespace

TEST(FramePacer, RunsSixtyTicksASecondOnEveryDisplay)
{
    for (const Display& d : displays) {
        SCOPED_TRACE(d.name);
        FramePacer pacer;
        ASSERT_EQ(1, pacer.ticksFor(nanoseconds(d.frameAt(0))));
        int ticks = 1;
        for (int k = 1; k < d.frames; ++k) {
            const int64_t now = d.frameAt(k);
            const int due = pacer.ticksFor(nanoseconds(now));
            ticks += due;
            if (k == d.stallAfter) {
                EXPECT_EQ(d.caught, due);
                continue;
            }
            ASSERT_LE(d.fewest, due) << "frame " << k;
            ASSERT_GE(d.stallAfter < 0 ? d.most : 1, due) << "frame " << k;
            // A frame with no tick sleeps just long enough for the next to have one.
            if (due == 0) {
                FramePacer probe = pacer;
                const int64_t wake = now + pacer.untilNextTick(nanoseconds(now)).count();
                EXPECT_EQ(0, FramePacer(probe).ticksFor(nanoseconds(wake - 1)));
                EXPECT_EQ(1, probe.ticksFor(nanoseconds(wake)));
            }
        }
        EXPECT_EQ(d.ticks, ticks);
    }
}

namespace {

// A whole untouched game played for some frames of a display at hz; the ticks its
// pacer ran, and the bits of its scene at the end.
uint64_t playedAt(int64_t hz, int frames, int* ticks)
{
    // Kept for good, like the game's own.
    static auto* scenes = new std::vector<Scene*>();
    static auto* games = new std::vector<Game*>();
    Scene* scene = scenes->emplace_back(new Scene());
    Game* game = games->emplace_back(new Game(scene));
    FramePacer pacer;
    *ticks = 0;
    for (int k = 0; k < frames; ++k) {
        for (int due = pacer.ticksFor(nanoseconds(refreshAt(k, hz))); due > 0; --due, ++*ticks)
            game->idle();
    }
    const Vec3 eye = scene->getCamera()->getEye(), centre = scene->getCamera()->getCenter();
    const Vec3 marble = game->getSimulation()->getPosition();
    const float state[] = {
        eye.x,    eye.y,    eye.z,    centre.x, centre.y,
        centre.z, marble.x, marble.y, marble.z, game->getSimulation()->getSpeed()};
    return digest(scene->getLight()->getColor(), 4, digest(state, sizeof state / sizeof *state));
}

} // namespace

// Intro, a roll to rest against the first obstacle, fade-out and part of the next
// intro: the same 2000 ticks and bits on a 144 Hz display as on a 60 Hz one, in 2.4
// times the frames.
TEST(FramePacer, AWholeRunEndsInTheSameBitsAt60And144Hz)
{
    glRecorder::reset();
    const uint64_t pinned = 12906280368302163233u;
    int ticks = 0;
    EXPECT_EQ(pinned, playedAt(60, 2000, &ticks));
    EXPECT_EQ(2000, ticks);
    EXPECT_EQ(pinned, playedAt(144, 4800, &ticks));
    EXPECT_EQ(2000, ticks);
}
