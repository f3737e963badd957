#include <gtest/gtest.h>

#include <cmath>

#include "sim/Simulation.h"
#include "support/Bits.h"

namespace {

float cross(Vec3 start, Vec3 direction, Vec3 origin, Vec3 heading)
{
    return Simulation::crossingDistance(start, direction, origin, heading);
}

const Vec3 marbleStart = {0.5f, 5.5f, 1.0f};
const Vec3 alongX = {1.0f, 0.0f, 0.0f};

} // namespace

TEST(CrossingDistance, LeadingEdgeIsTheXDistanceOverTheHeading)
{
    // The z row becomes the pivot; what is left is a plain division in x.
    const Vec3 downhill = {0.8f, -0.6f, 0.0f};
    EXPECT_EQ(bits(2.0f), bits(cross({2.5f, 5, 0}, {0, 0, 2}, marbleStart, alongX)));
    EXPECT_EQ(bits((2.5f - 0.5f) / 0.8f),
              bits(cross({2.5f, 5, 0}, {0, 0, 2}, marbleStart, downhill)));
    // Already past the plane: negative.
    EXPECT_EQ(bits(-0.5f), bits(cross({2.5f, 5, 0}, {0, 0, 2}, {3, 5.5f, 1}, alongX)));
}

TEST(CrossingDistance, ParallelSideEdgesGiveSignedInfinities)
{
    // The side test tells inside from outside by these signs.
    EXPECT_EQ(bits(INFINITY), bits(cross({0, 5, 0}, {2.5f, 0, 0}, marbleStart, alongX)));
    EXPECT_EQ(bits(-INFINITY), bits(cross({0, 5, 2}, {2.5f, 0, 0}, marbleStart, alongX)));
}

TEST(CrossingDistance, OnTheParallelPlaneIsNaN)
{
    EXPECT_TRUE(std::isnan(cross({0, 5, 0}, {2.5f, 0, 0}, {0.5f, 5.5f, 0}, alongX)));
}

TEST(CrossingDistance, DiagonalHeadingMeetsOneSideAheadOneBehind)
{
    const float h = static_cast<float>(1.0 / std::sqrt(2.0));
    const Vec3 diagonal = {h, 0, h};
    const float behind = cross({0, 5, 0}, {2.5f, 0, 0}, marbleStart, diagonal);
    const float ahead = cross({0, 5, 2}, {2.5f, 0, 0}, marbleStart, diagonal);
    EXPECT_EQ(bits(-1.0f / h), bits(behind));
    EXPECT_EQ(bits(1.0f / h), bits(ahead));
    EXPECT_NEAR(-std::sqrt(2.0), behind, 1e-6);
}

TEST(CrossingDistance, PivotTiesKeepTheEarlierRow)
{
    // Column 0 holds 1 in row x and 1 in row z. Keeping row x as pivot leaves
    // (origin.z - origin.x) over +0 in the last row: +infinity. Taking row z
    // would leave the negated difference: -infinity.
    const float h = static_cast<float>(1.0 / std::sqrt(2.0));
    EXPECT_EQ(bits(INFINITY), bits(cross({0, 0, 0}, {1, 0, 1}, {0, 0, 1}, {h, 0, h})));
}
