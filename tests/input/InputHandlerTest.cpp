#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include "input/ControlState.h"
#include "input/InputHandler.h"
#include "support/Bits.h"

namespace {

struct Input : ::testing::Test {
    ControlState controls;
    InputHandler input{&controls};

    // The nudge as bit patterns, so -0 and +0 differ.
    std::vector<uint32_t> nudge() const
    {
        return nudgeOf(controls.getCameraNudgeX(), controls.getCameraNudgeY(),
                       controls.getCameraNudgeZ());
    }
    static std::vector<uint32_t> nudgeOf(float x, float y, float z)
    {
        return {bits(x), bits(y), bits(z)};
    }
};

} // namespace

TEST_F(Input, KeysSteerAndBrakeWhileHeld)
{
    EXPECT_EQ(0u, bits(controls.getSteerZ()));
    EXPECT_EQ(0, controls.getBrake());
    for (unsigned char key : {'A', 'D', 'B', 'x', ' '}) // upper case does nothing
        input.keyboard(key, 0, 0);
    EXPECT_EQ(0u, bits(controls.getSteerZ()));
    EXPECT_EQ(0, controls.getBrake());

    input.keyboard('a', 0, 0);
    EXPECT_EQ(0xBDCCCCCDu, bits(controls.getSteerZ())); // -0.1
    input.keyboard('d', 0, 0);                          // switches at once
    EXPECT_EQ(0x3DCCCCCDu, bits(controls.getSteerZ()));
    input.keyboardUp('D', 0, 0);
    EXPECT_EQ(0x3DCCCCCDu, bits(controls.getSteerZ()));
    input.keyboardUp('a', 0, 0); // releasing either steering key stops steering
    EXPECT_EQ(0u, bits(controls.getSteerZ()));

    input.keyboard('b', 5, 7);
    EXPECT_EQ(1, controls.getBrake());
    input.keyboardUp('b', 0, 0);
    EXPECT_EQ(0, controls.getBrake());
}

// A drag sets a rate, 0.001 per pixel from where the button went down: left in
// x and -y, right in z. Any release clears the whole nudge.
TEST_F(Input, DragsNudgeTheEye)
{
    input.mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 200);
    input.motion(200, 150);
    EXPECT_EQ(nudgeOf(float(100 * 0.001), float(-50 * 0.001), 0), nudge());
    input.motion(100, 200);
    EXPECT_EQ(nudgeOf(0, 0, 0), nudge());

    input.mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 50, 80); // the right button wins
    input.motion(30, 40);
    EXPECT_EQ(nudgeOf(0, 0, float(-20 * 0.001)), nudge());
    input.mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 30, 40);
    EXPECT_EQ(nudgeOf(0, 0, 0), nudge());
    input.motion(112, 200); // the left drag acts again, from its old start
    EXPECT_EQ(nudgeOf(float(12 * 0.001), 0, 0), nudge());

    input.mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 0, 0); // the middle button does nothing
    input.mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 0, 0);
    EXPECT_EQ(nudgeOf(float(12 * 0.001), 0, 0), nudge());
    input.mouse(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
    EXPECT_EQ(nudgeOf(0, 0, 0), nudge());
    input.motion(300, 300); // no button held any more
    EXPECT_EQ(nudgeOf(0, 0, 0), nudge());
}
