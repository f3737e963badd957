#include <gtest/gtest.h>

#include "input/ControlState.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Marble.h"
#include "scene/Scene.h"
#include "sim/Simulation.h"
#include "support/Bits.h"
#include "support/GlRecorder.h"

namespace {

// A scripted run: the steering held over a span of rolling ticks, or an autopilot, how
// it ends, and its final bits. Any change of rounding anywhere in a run shows here.
struct ScriptedRun {
    const char* name;
    float steer;
    int steerFrom, steerUntil; // rolling ticks in which steering is held
    float nudge;               // camera nudge in x, -y and z
    // > 0: steers for the middle of the track and round the obstacles, braking above
    // this speed, so that the run reaches the end line.
    float autopilot;
    unsigned char brake;
    bool crashed;
    int rollingTicks;
    uint32_t x, y, z;  // the marble's centre when rolling ends
    uint64_t afterEnd; // the whole scene when the next run begins
};

constexpr int always = 100000;

// Played one after another on one simulation, as the game restarts by itself.
// The first run crashes before any segment has set a slope: it falls level.
const ScriptedRun runs[] = {
    {"d held", 0.1f, 0, always, 0, 0, 0, true, 105, 0x3f34314e, 0x40b00000, 0x40008f7b,
     0xdece1097c177f340u},
    {"a held", -0.1f, 0, always, 0, 0, 0, true, 105, 0x3f34314e, 0x40b00000, 0xbc0f7c22,
     0xdf8beabb21eb8161u},
    // Comes to rest in the first segment while the camera drifts.
    {"brake held", 0, 0, 0, 0.001f, 0, 1, false, 884, 0x40193bb4, 0x40b00000, 0x3f800000,
     0x3978e2590aada961u},
    // Stops against the yellow obstacle, centres 1 apart: x = 25 - sqrt(0.75).
    {"no input", 0, 0, 0, 0, 0, 0, false, 1091, 0x41c11261, 0x40300000, 0x3f800000,
     0xd240c4ca85f9de0fu},
    // Off the right edge on the first ramp: the fall follows its slope.
    {"d late", 0.1f, 230, always, 0, 0, 0, true, 314, 0x40396ae6, 0x40a9f987, 0x400049c9,
     0xa62226076744c977u},
    // Past the yellow obstacle, off into the first bend.
    {"d 975 to 995", 0.1f, 975, 995, 0, 0, 0, true, 1413, 0x41ff01f7, 0x40300000, 0x3fc4f491,
     0x697bb0435e0954ecu},
    // Steered into the yellow obstacle: the heading across the track meets it.
    {"a late", -0.1f, 1085, always, 0, 0, 0, false, 1097, 0x41c0274f, 0x40300000, 0x3f31ea9d,
     0xa648cd1420a78cf0u},
    // To the end line, through both S-bends and past all three obstacles.
    {"autopilot 0.05", 0, 0, 0, 0, 0.05f, 0, false, 5305, 0x43141d70, 0xc0300081, 0x3f6b66d5,
     0xe7c3d006cfaca3d9u},
    {"autopilot 0.08", 0, 0, 0, 0, 0.08f, 0, false, 4982, 0x431424d1, 0xc02fffbf, 0x3f694302,
     0x479553dfc265d7acu},
};

// The autopilot's steering and brake for the marble where it stands.
void autopilot(const Simulation& sim, float maxSpeed, ControlState& controls)
{
    const Vec3* quad = sim.getQuad();
    const Vec3 p = sim.getPosition();
    const float left = quad[2].z, right = quad[3].z;
    float target = (left + right) * 0.5f;
    for (const auto& o : {std::pair<float, float>{25, 0.5f}, {50, -4.5f}, {135, 1.5f}})
        if (p.x > o.first - 4 && p.x < o.first + 1.2f)
            target = o.second - left > right - o.second ? (left + o.second - 1) / 2
                                                        : (o.second + 1 + right) / 2;
    controls.setSteer(0, 0, p.z < target - 0.1f ? 0.1f : p.z > target + 0.1f ? -0.1f : 0);
    controls.setBrake(sim.getSpeed() > maxSpeed);
}

uint64_t sceneDigest(Scene* scene, const Simulation& sim)
{
    const Vec3 eye = scene->getCamera()->getEye(), center = scene->getCamera()->getCenter();
    float marble[3] = {};
    scene->getMarble()->getPosition(&marble[0], &marble[1], &marble[2]);
    const float state[] = {
        eye.x,     eye.y,     eye.z,     center.x,       center.y,           center.z,
        marble[0], marble[1], marble[2], sim.getSpeed(), sim.getSlopeAngle()};
    return digest(scene->getLight()->getColor(), 4, digest(state, sizeof state / sizeof *state));
}

} // namespace

// The table twice over: every run ends where pinned however many runs came before.
TEST(Simulation, ScriptedRunsEndBitForBitWherePinned)
{
    glRecorder::reset();
    static Scene* scene = new Scene(); // kept for good, like the game's
    ControlState controls;
    Simulation sim(scene, &controls);
    int ticks = 0;
    const auto tick = [&] {
        sim.tick();
        ++ticks;
        ASSERT_LE(sim.getTrackCursor(), trackVertices + 3 * std::size_t{154});
    };
    for (int round = 0; round < 2; ++round)
        for (const ScriptedRun& r : runs) {
            SCOPED_TRACE(r.name);
            // The intro: 400 ticks of camera rise and fade-in, from black every run.
            for (int i = 0; i < 400; ++i) {
                tick();
                ASSERT_EQ(i < 399, sim.isIntro());
            }
            EXPECT_EQ(0x40ff5c1bu, bits(scene->getCamera()->getEye().y)); // 7.98 in 399 steps
            EXPECT_EQ(0x409f5c1cu, bits(scene->getCamera()->getEye().z));
            EXPECT_EQ(0x3f7f5c1bu, bits(scene->getLight()->getColor()[0])); // 0.9975

            controls.setBrake(r.brake);
            controls.setCameraNudge(r.nudge, -r.nudge, r.nudge);
            int rolling = 0;
            while (!sim.isFinished() && !sim.isCrashed() && rolling < 10000) {
                controls.setSteer(
                    0, 0, rolling >= r.steerFrom && rolling < r.steerUntil ? r.steer : 0.0f);
                if (r.autopilot > 0)
                    autopilot(sim, r.autopilot, controls);
                tick();
                ++rolling;
            }
            controls = ControlState();
            EXPECT_EQ(r.rollingTicks, rolling);
            EXPECT_EQ(r.crashed, sim.isCrashed());
            float x, y, z;
            scene->getMarble()->getPosition(&x, &y, &z);
            EXPECT_EQ(r.x, bits(x));
            EXPECT_EQ(r.y, bits(y));
            EXPECT_EQ(r.z, bits(z));
            EXPECT_EQ(bits(x), bits(sim.getPosition().x)); // the copy kept in step

            // The end: 200 ticks of fall and 400 of fade-out after a crash, 400 of
            // fade-out after a finish; then the next run's set-up.
            int endTicks = 0;
            while (!sim.isIntro() && endTicks < 1000) {
                tick();
                ++endTicks;
            }
            EXPECT_EQ(r.crashed ? 600 : 400, endTicks);
            EXPECT_EQ(r.afterEnd, sceneDigest(scene, sim));
        }
    EXPECT_EQ(ticks,
              int(glRecorder::callsNamed("glutPostRedisplay").size())); // every tick of every phase
}
