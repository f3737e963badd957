#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include "input/ControlState.h"
#include "input/InputHandler.h"
#include "support/Bits.h"

namespace {

struct Input : ::testing::Test {
    ControlState controls;
    InputHandler input{&controls};

    Vec3 nudge() const
    {
        return {controls.getCameraNudgeX(), controls.getCameraNudgeY(), controls.getCameraNudgeZ()};
    }
};

} // namespace

TEST_F(Input, StartsWithEverythingOff)
{
    EXPECT_EQ(0u, bits(controls.getSteerZ()));
    EXPECT_EQ(0, controls.getBrake());
    EXPECT_EQ(0u, bits(nudge().x) | bits(nudge().y) | bits(nudge().z));
}

TEST_F(Input, SteeringKeysSetAndAnyReleaseClears)
{
    input.keyboard('a', 0, 0);
    EXPECT_EQ(0xBDCCCCCDu, bits(controls.getSteerZ()));
    input.keyboard('d', 0, 0); // switches at once
    EXPECT_EQ(0x3DCCCCCDu, bits(controls.getSteerZ()));
    input.keyboardUp('a', 0, 0); // releasing either key stops steering
    EXPECT_EQ(0u, bits(controls.getSteerZ()));
}

TEST_F(Input, BrakeHeldBetweenPressAndRelease)
{
    input.keyboard('b', 5, 7);
    EXPECT_EQ(1, controls.getBrake());
    input.keyboardUp('b', 0, 0);
    EXPECT_EQ(0, controls.getBrake());
}

TEST_F(Input, UpperCaseAndOtherKeysDoNothing)
{
    for (unsigned char key : {'A', 'D', 'B', 'x', ' '})
        input.keyboard(key, 0, 0);
    EXPECT_EQ(0u, bits(controls.getSteerZ()));
    EXPECT_EQ(0, controls.getBrake());
    input.keyboard('d', 0, 0);
    input.keyboardUp('D', 0, 0);
    EXPECT_EQ(0x3DCCCCCDu, bits(controls.getSteerZ()));
}

TEST(InputDeathTest, EscapeExitsWithStatusZero)
{
    ControlState controls;
    InputHandler input(&controls);
    EXPECT_EXIT(input.keyboard(27, 0, 0), ::testing::ExitedWithCode(0), "");
}

TEST_F(Input, LeftDragNudgesEyeInXAndYAsARate)
{
    input.mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 200);
    input.motion(200, 150);
    EXPECT_EQ(bits(float(100 * 0.001)), bits(nudge().x));
    EXPECT_EQ(bits(float(-50 * 0.001)), bits(nudge().y));
    EXPECT_EQ(0u, bits(nudge().z));
    input.motion(100, 200); // back to the start without releasing
    EXPECT_EQ(0u, bits(nudge().x) | bits(nudge().y) | bits(nudge().z));
    input.motion(90, 200);
    input.mouse(GLUT_LEFT_BUTTON, GLUT_UP, 90, 200);
    EXPECT_EQ(0u, bits(nudge().x));
    input.motion(300, 300); // no button held any more
    EXPECT_EQ(0u, bits(nudge().x) | bits(nudge().y));
}

TEST_F(Input, RightDragNudgesEyeInZAndWinsOverLeft)
{
    input.mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10);
    input.mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 50, 80);
    input.motion(30, 40);
    EXPECT_EQ(0u, bits(nudge().x) | bits(nudge().y));
    EXPECT_EQ(bits(float(-20 * 0.001)), bits(nudge().z));

    // Releasing the right button clears the whole nudge; the left drag acts
    // again on its next motion, from its old start.
    input.mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 30, 40);
    EXPECT_EQ(0u, bits(nudge().z));
    input.motion(12, 10);
    EXPECT_EQ(bits(float(2 * 0.001)), bits(nudge().x));
}

TEST_F(Input, MiddleButtonAndUnmatchedReleases)
{
    controls.setCameraNudge(1, 2, 3);
    input.mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 0, 0);
    input.mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 0, 0);
    EXPECT_EQ(bits(1.0f), bits(nudge().x));
    input.mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 0, 0); // no matching press: clears all the same
    EXPECT_EQ(0u, bits(nudge().x) | bits(nudge().y) | bits(nudge().z));
}
