#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "input/ControlState.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Marble.h"
#include "scene/Scene.h"
#include "sim/Simulation.h"
#include "support/Bits.h"
#include "support/GlRecorder.h"

namespace {

// One scene for the whole binary: it is never deleted, like the game's.
Scene* sharedScene()
{
    static Scene* scene = new Scene();
    return scene;
}

Vec3 marblePosition(Scene* scene)
{
    Vec3 p;
    scene->getMarble()->getPosition(&p.x, &p.y, &p.z);
    return p;
}

struct SimulationTest : ::testing::Test {
    Scene* scene = sharedScene();
    ControlState controls;
    std::unique_ptr<Simulation> sim = std::make_unique<Simulation>(scene, &controls);

    void SetUp() override { glRecorder::reset(); }

    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            sim->tick();
    }

    // Ticks until the rolling phase has ended; returns the rolling ticks taken.
    int rollToEnd(int limit = 5000)
    {
        int rolling = 0;
        while (!sim->isFinished() && !sim->isCrashed() && rolling < limit) {
            sim->tick();
            ++rolling;
        }
        return rolling;
    }
};

} // namespace

TEST_F(SimulationTest, FirstTickSetsUpTheRun)
{
    scene->getCamera()->set(1, 2, 3, 4, 5, 6);
    scene->getMarble()->setPosition(9, 9, 9);
    sim->tick();

    EXPECT_EQ(1, sim->getPhaseTicks());
    EXPECT_TRUE(sim->isIntro());
    const Vec3 eye = scene->getCamera()->getEye();
    const Vec3 center = scene->getCamera()->getCenter();
    EXPECT_EQ(bits(8.0f), bits(eye.x));
    EXPECT_EQ(bits(0.0f), bits(eye.y));
    EXPECT_EQ(bits(-3.0f), bits(eye.z));
    EXPECT_EQ(bits(0.0f), bits(center.x));
    EXPECT_EQ(bits(5.0f), bits(center.y));
    EXPECT_EQ(bits(1.0f), bits(center.z));
    const Vec3 p = sim->getPosition();
    EXPECT_EQ(bits(0.5f), bits(p.x));
    EXPECT_EQ(bits(5.5f), bits(p.y));
    EXPECT_EQ(bits(1.0f), bits(p.z));
    EXPECT_EQ(bits(0.01f), bits(sim->getSpeed()));

    const Vec3* quad = sim->getQuad();
    const float expected[4][3] = {{0, 5, 0}, {0, 5, 2}, {2.5f, 5, 0}, {2.5f, 5, 2}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bits(expected[i][0]), bits(quad[i].x)) << i;
        EXPECT_EQ(bits(expected[i][1]), bits(quad[i].y)) << i;
        EXPECT_EQ(bits(expected[i][2]), bits(quad[i].z)) << i;
    }
    EXPECT_EQ(scene->getObstacles(), sim->getCurrentObstacle());
}

TEST_F(SimulationTest, IntroRaisesTheEyeAndFadesInFor400Ticks)
{
    ticks(399);
    EXPECT_TRUE(sim->isIntro());
    sim->tick();
    EXPECT_FALSE(sim->isIntro());
    EXPECT_EQ(0, sim->getPhaseTicks());

    // 399 float steps of 0.02 from (8, 0, -3).
    const Vec3 eye = scene->getCamera()->getEye();
    EXPECT_EQ(bits(8.0f), bits(eye.x));
    EXPECT_NEAR(7.98, eye.y, 1e-4);
    EXPECT_NEAR(4.98, eye.z, 1e-4);
    EXPECT_EQ(0x40FF5C1Bu, bits(eye.y));
    EXPECT_EQ(0x409F5C1Cu, bits(eye.z));
    EXPECT_EQ(0x3F7F5C1Bu, bits(scene->getLight()->getColor()[0])); // 0.9975 in 399 float steps
    EXPECT_EQ(0.0f, scene->getLight()->getColor()[3]);

    // glutPostRedisplay on every tick of every phase.
    EXPECT_EQ(400, glRecorder::count("glutPostRedisplay"));
}

TEST_F(SimulationTest, FirstRollingTickStartsAtTheStartSpeed)
{
    ticks(400);
    EXPECT_EQ(bits(0.01f), bits(sim->getSpeed()));
    sim->tick();
    const float speed = static_cast<float>(0.01f * 0.9998);
    EXPECT_EQ(bits(speed), bits(sim->getSpeed()));
    // The first segment is level and long: the whole tick's distance along +x.
    EXPECT_EQ(bits(0.5f + speed), bits(sim->getPosition().x));
    EXPECT_EQ(bits(0.5f + speed), bits(marblePosition(scene).x));
}

TEST_F(SimulationTest, BrakeAndNudgeActOnEveryRollingTick)
{
    ticks(400);
    controls.setBrake(1);
    controls.setCameraNudge(0.5f, 0.0f, 0.0f);
    const Vec3 eye = scene->getCamera()->getEye();
    sim->tick();
    EXPECT_EQ(bits(static_cast<float>(static_cast<float>(0.01f * 0.9998) * 0.995)),
              bits(sim->getSpeed()));
    // The eye gets the nudge, then follows the marble by its displacement,
    // which on the level start is the whole braked speed.
    EXPECT_EQ(bits((eye.x + 0.5f) + sim->getSpeed()), bits(scene->getCamera()->getEye().x));
}

TEST_F(SimulationTest, LightStartsEveryRunFromBlack)
{
    // Fades in 399 steps and out 400: without the reset at each set-up the
    // scene would darken run after run.
    std::vector<uint32_t> peaks;
    for (int run = 0; run < 5; ++run) {
        sim->tick(); // set-up
        const float* color = scene->getLight()->getColor();
        EXPECT_EQ(0u, bits(color[0]) | bits(color[1]) | bits(color[2])) << run;
        ticks(399);
        peaks.push_back(bits(color[0]));
        controls.setBrake(1); // a short run: it comes to rest in the first segment
        rollToEnd();
        controls.setBrake(0);
        while (!sim->isIntro())
            sim->tick();
    }
    for (uint32_t peak : peaks)
        EXPECT_EQ(0x3F7F5C1Bu, peak);
}

TEST_F(SimulationTest, FinishedPhaseFadesOutFor400TicksThenRestarts)
{
    ticks(400);
    controls.setBrake(1);
    rollToEnd();
    ASSERT_TRUE(sim->isFinished());
    EXPECT_EQ(0, sim->getPhaseTicks());
    const uint32_t lit = bits(scene->getLight()->getColor()[0]);
    ticks(399);
    EXPECT_TRUE(sim->isFinished());
    EXPECT_NE(lit, bits(scene->getLight()->getColor()[0]));
    sim->tick();
    EXPECT_TRUE(sim->isIntro());
    EXPECT_EQ(0, sim->getPhaseTicks());
    sim->tick(); // the 401st tick after the finish is the next set-up
    EXPECT_EQ(1, sim->getPhaseTicks());
    EXPECT_EQ(bits(0.5f), bits(marblePosition(scene).x));
}

TEST_F(SimulationTest, CrashInTheFirstSegmentFallsLevel)
{
    // Nothing has set a slope yet in this run: the fall uses the level start.
    ticks(400);
    controls.setSteer(0, 0, 0.1f);
    rollToEnd();
    ASSERT_TRUE(sim->isCrashed());
    EXPECT_EQ(bits(0.0f), bits(sim->getSlopeAngle()));

    const Vec3 before = marblePosition(scene);
    const float v = sim->getSpeed();
    const Vec3 h = sim->getHeading();
    sim->tick();
    const Vec3 after = marblePosition(scene);
    // n = 1: fx = v, fy = -0.02, fz = fx * h.z / h.x, each scaled by 0.0025.
    const float fx = static_cast<float>(1.0 * v);
    const double fz = double(fx) * h.z / h.x;
    EXPECT_EQ(bits(before.x + static_cast<float>(fx * 0.0025)), bits(after.x));
    EXPECT_EQ(bits(before.y + static_cast<float>(static_cast<float>(-0.02) * 0.0025)),
              bits(after.y));
    EXPECT_EQ(bits(before.z + static_cast<float>(fz * 0.0025)), bits(after.z));
    EXPECT_EQ(bits(before.x), bits(sim->getPosition().x)); // the copy does not fall

    // 200 ticks of fall, 400 of fade-out, then the next intro.
    ticks(598);
    EXPECT_TRUE(sim->isCrashed());
    sim->tick();
    EXPECT_TRUE(sim->isIntro());
}

namespace {

struct WholeRun {
    const char* name;
    float steer; // first, so that brake and crashed pack into one word
    unsigned char brake;
    bool crashed;
    int rollingTicks;
    uint32_t x, y, z; // final marble centre
};

// Pinned: any change of rounding anywhere in the rolling step shows here.
const WholeRun wholeRuns[] = {
    // Stops against the yellow obstacle, centres 1 apart: x = 25 - sqrt(0.75).
    {"no input", 0.0f, 0, false, 1091, 0x41c11261, 0x40300000, 0x3f800000},
    // Comes to rest in the first segment.
    {"brake held", 0.0f, 1, false, 884, 0x40193bb4, 0x40b00000, 0x3f800000},
    // Off the right edge (z = 2), then the mirror image off the left one.
    {"d held", 0.1f, 0, true, 105, 0x3f34314e, 0x40b00000, 0x40008f7b},
    {"a held", -0.1f, 0, true, 105, 0x3f34314e, 0x40b00000, 0xbc0f7c22},
};

} // namespace

TEST_F(SimulationTest, WholeRunsEndBitForBitWherePinned)
{
    for (const WholeRun& r : wholeRuns) {
        SCOPED_TRACE(r.name);
        sim = std::make_unique<Simulation>(scene, &controls);
        ticks(400);
        controls.setBrake(r.brake);
        controls.setSteer(0, 0, r.steer);
        EXPECT_EQ(r.rollingTicks, rollToEnd());
        controls.setBrake(0);
        controls.setSteer(0, 0, 0);
        EXPECT_EQ(r.crashed, sim->isCrashed());
        const Vec3 p = marblePosition(scene);
        EXPECT_EQ(r.x, bits(p.x));
        EXPECT_EQ(r.y, bits(p.y));
        EXPECT_EQ(r.z, bits(p.z));
        EXPECT_EQ(bits(p.x), bits(sim->getPosition().x)); // the copy kept in step
        glRecorder::reset();
    }
    EXPECT_NEAR(25.0 - std::sqrt(0.75), fromBits(wholeRuns[0].x), 1e-6);
}
