#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include "scene/BlueObstacle.h"
#include "scene/RedObstacle.h"
#include "scene/YellowObstacle.h"
#include "support/GlRecorder.h"

namespace {

// The yellow obstacle of the course, approached straight down the track.
class ObstacleContact : public ::testing::Test {
protected:
    float from(float x, float y, float z)
    {
        return obstacle.intersect(x, y, z, 1.0f, 0.0f, 0.0f, &cursor);
    }

    void SetUp() override
    {
        Obstacle::pushObstacle(&head, &following);
        Obstacle::pushObstacle(&head, &obstacle);
    }

    YellowObstacle obstacle{25.0f, 2.75f, 0.5f};
    BlueObstacle following{50.0f, 2.75f, -4.5f};
    Obstacle* head = nullptr;
    Obstacle* cursor = &obstacle;
};

} // namespace

TEST_F(ObstacleContact, HeadingStraightAtItStopsWhereTheSpheresTouch)
{
    EXPECT_EQ(from(22.0f, 2.75f, 0.5f), 2.0f);
    EXPECT_EQ(cursor, &obstacle);
}

TEST_F(ObstacleContact, PassingWideToTheSideIsNoContact)
{
    EXPECT_EQ(from(22.0f, 2.75f, 2.0f), 500.0f);
    EXPECT_EQ(cursor, &obstacle);
}

TEST_F(ObstacleContact, TouchingOrOverlappingStopsOnTheSpot)
{
    EXPECT_EQ(from(24.0f, 2.75f, 0.5f), 0.0f); // nearer root exactly 0
    EXPECT_EQ(from(24.5f, 2.75f, 0.5f), 0.0f); // t2 < 0 <= t1
    EXPECT_EQ(from(26.0f, 2.75f, 0.5f), 0.0f); // e.x exactly 1: not yet passed
    EXPECT_EQ(cursor, &obstacle);
}

TEST_F(ObstacleContact, GrazingAtExactlyOneIsAStop)
{
    // Equal roots (disc = 0, t = 3 ahead) stop the marble rather than give 3.
    EXPECT_EQ(from(22.0f, 2.75f, 1.5f), 0.0f);
}

TEST_F(ObstacleContact, MovingAwayWithBothRootsBehindIsNoContact)
{
    // Just beyond the centre and outside the contact distance: the line meets
    // the sphere only behind the marble, which must roll on.
    EXPECT_EQ(from(25.9f, 2.75f, 1.0f), 500.0f);
    EXPECT_EQ(cursor, &obstacle);
}

TEST_F(ObstacleContact, PastItTheCursorMovesOnByOne)
{
    EXPECT_EQ(from(26.01f, 2.75f, 0.5f), 500.0f);
    EXPECT_EQ(cursor, &following);

    // Far beyond both: each call moves the cursor by one obstacle only.
    EXPECT_EQ(cursor->intersect(200.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, &cursor), 500.0f);
    EXPECT_EQ(cursor, nullptr);
}

TEST(ObstacleList, AFarPassMovesTheCursorOneObstacleAtATime)
{
    RedObstacle red(135.0f, -2.75f, 1.5f);
    BlueObstacle blue(50.0f, 2.75f, -4.5f);
    YellowObstacle yellow(25.0f, 2.75f, 0.5f);
    Obstacle* head = &red;
    Obstacle::pushObstacle(&head, &blue);
    Obstacle::pushObstacle(&head, &yellow);

    Obstacle* cursor = head;
    EXPECT_EQ(cursor->intersect(148.0f, -3.0f, 1.0f, 1.0f, 0.0f, 0.0f, &cursor), 500.0f);
    EXPECT_EQ(cursor, &blue);
    EXPECT_EQ(cursor->intersect(148.0f, -3.0f, 1.0f, 1.0f, 0.0f, 0.0f, &cursor), 500.0f);
    EXPECT_EQ(cursor, &red);
    EXPECT_EQ(cursor->intersect(148.0f, -3.0f, 1.0f, 1.0f, 0.0f, 0.0f, &cursor), 500.0f);
    EXPECT_EQ(cursor, nullptr);
}

TEST(ObstacleList, PushPutsEachObstacleInFront)
{
    RedObstacle red(135.0f, -2.75f, 1.5f);
    BlueObstacle blue(50.0f, 2.75f, -4.5f);
    YellowObstacle yellow(25.0f, 2.75f, 0.5f);
    EXPECT_EQ(red.next(), nullptr);

    Obstacle* head = nullptr;
    Obstacle::pushObstacle(&head, &red);
    EXPECT_EQ(head, &red);
    EXPECT_EQ(red.next(), nullptr);
    Obstacle::pushObstacle(&head, &blue);
    Obstacle::pushObstacle(&head, &yellow);
    EXPECT_EQ(head, &yellow);
    EXPECT_EQ(yellow.next(), &blue);
    EXPECT_EQ(blue.next(), &red);
    EXPECT_EQ(red.next(), nullptr);
}

TEST(ObstacleDraw, EachKindSetsItsColourAndTranslatesToItsCentre)
{
    RedObstacle red(135.0f, -2.75f, 1.5f);
    YellowObstacle yellow(25.0f, 2.75f, 0.5f);
    BlueObstacle blue(50.0f, 2.75f, -4.5f);
    const struct {
        Obstacle* obstacle;
        std::vector<double> diffuse;
        std::vector<double> centre;
    } kinds[] = {
        {&red, {1, 0, 0, 1}, {135, -2.75, 1.5}},
        {&yellow, {1, 1, 0, 1}, {25, 2.75, 0.5}},
        {&blue, {0, 0, 1, 1}, {50, 2.75, -4.5}},
    };
    for (const auto& kind : kinds) {
        glRecorder::reset();
        kind.obstacle->draw();
        const auto& calls = glRecorder::calls();
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[0].name, "glMaterialfv");
        std::vector<double> material = {GL_FRONT, GL_DIFFUSE};
        material.insert(material.end(), kind.diffuse.begin(), kind.diffuse.end());
        EXPECT_EQ(calls[0].args, material);
        EXPECT_EQ(calls[1].name, "glTranslatef");
        EXPECT_EQ(calls[1].args, kind.centre);
        EXPECT_EQ(calls[2].name, "glutSolidSphere");
        EXPECT_EQ(calls[2].args, (std::vector<double>{0.5, 40, 40}));
        // It leaves its translation on the matrix: no push or pop of its own.
        EXPECT_EQ(glRecorder::modelviewDepth(), 0);
    }
}
