#include <gtest/gtest.h>

#include "scene/BlueObstacle.h"
#include "scene/RedObstacle.h"
#include "scene/YellowObstacle.h"
#include "support/Bits.h"

// The course's yellow obstacle, approached straight down the track (+x): the
// distance until the spheres (radius 0.5 each) touch, 500 for none, and where
// the caller's cursor stands afterwards.
TEST(Obstacle, ContactDistanceAndCursor)
{
    RedObstacle red(135.0f, -2.75f, 1.5f);
    BlueObstacle blue(50.0f, 2.75f, -4.5f);
    YellowObstacle yellow(25.0f, 2.75f, 0.5f);
    Obstacle* head = &red;
    Obstacle::pushObstacle(&head, &blue);
    Obstacle::pushObstacle(&head, &yellow);
    ASSERT_EQ(&yellow, head);
    ASSERT_EQ(&blue, yellow.next());
    ASSERT_EQ(&red, blue.next());
    ASSERT_EQ(nullptr, red.next());

    const float h = 0.6f, k = 0.8f; // a heading across the track, or down a slope
    const struct {
        const char* what;
        float x, y, z;
        float dirX, dirY, dirZ;
        float expected;
        Obstacle* cursorAfter;
    } cases[] = {
        {"straight at it", 22.0f, 2.75f, 0.5f, 1, 0, 0, 2.0f, &yellow},
        {"across the track at it", 25 - 3 * h, 2.75f, 0.5f - 3 * k, h, 0, k, 1.99999952f, &yellow},
        {"down a slope at it", 25 - 3 * h, 2.75f + 3 * k, 0.5f, h, -k, 0, 1.99999952f, &yellow},
        // The result is a path parameter: along a direction of length 2, half the distance.
        {"twice as fast at it", 22.0f, 2.75f, 0.5f, 2, 0, 0, 1.0f, &yellow},
        {"wide to the side", 22.0f, 2.75f, 2.0f, 1, 0, 0, 500.0f, &yellow},
        {"grazing: equal roots stop at once", 22.0f, 2.75f, 1.5f, 1, 0, 0, 0.0f, &yellow},
        {"nearly touching", 23.95f, 2.75f, 0.5f, 1, 0, 0, 0.0499992371f, &yellow},
        {"touching", 24.0f, 2.75f, 0.5f, 1, 0, 0, 0.0f, &yellow},
        {"overlapping", 24.5f, 2.75f, 0.5f, 1, 0, 0, 0.0f, &yellow},
        {"a unit past its centre: not yet passed", 26.0f, 2.75f, 0.5f, 1, 0, 0, 0.0f, &yellow},
        {"both roots behind: rolls on", 25.9f, 2.75f, 1.0f, 1, 0, 0, 500.0f, &yellow},
        {"passed: the cursor moves on by one", 26.01f, 2.75f, 0.5f, 1, 0, 0, 500.0f, &blue},
    };
    for (const auto& c : cases) {
        Obstacle* cursor = &yellow;
        EXPECT_EQ(bits(c.expected),
                  bits(yellow.intersect(c.x, c.y, c.z, c.dirX, c.dirY, c.dirZ, &cursor)))
            << c.what;
        EXPECT_EQ(c.cursorAfter, cursor) << c.what;
    }

    // Far beyond all three, each call moves the cursor by one obstacle only.
    Obstacle* cursor = head;
    for (Obstacle* after : {static_cast<Obstacle*>(&blue), static_cast<Obstacle*>(&red),
                            static_cast<Obstacle*>(nullptr)}) {
        EXPECT_EQ(500.0f, cursor->intersect(148.0f, -3.0f, 1.0f, 1, 0, 0, &cursor));
        EXPECT_EQ(after, cursor);
    }
}
