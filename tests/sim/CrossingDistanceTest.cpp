#include <gtest/gtest.h>

#include <cmath>

#include "sim/Simulation.h"
#include "support/Bits.h"

TEST(CrossingDistance, SolvesForTheDistanceAlongTheHeading)
{
    const Vec3 marble = {0.5f, 5.5f, 1.0f};
    const Vec3 alongX = {1, 0, 0};
    const float h = static_cast<float>(1.0 / std::sqrt(2.0));
    const struct {
        const char* what;
        Vec3 start, direction, origin, heading;
        float expected;
    } cases[] = {
        {"leading edge ahead", {2.5f, 5, 0}, {0, 0, 2}, marble, alongX, 2.0f},
        {"downhill heading", {2.5f, 5, 0}, {0, 0, 2}, marble, {0.8f, -0.6f, 0}, 2.0f / 0.8f},
        {"already past it", {2.5f, 5, 0}, {0, 0, 2}, {3, 5.5f, 1}, alongX, -0.5f},
        // Parallel side edges give signed infinities: the side test reads their signs.
        {"parallel, left", {0, 5, 0}, {2.5f, 0, 0}, marble, alongX, INFINITY},
        {"parallel, right", {0, 5, 2}, {2.5f, 0, 0}, marble, alongX, -INFINITY},
        {"diagonal, behind", {0, 5, 0}, {2.5f, 0, 0}, marble, {h, 0, h}, -1.0f / h},
        {"diagonal, ahead", {0, 5, 2}, {2.5f, 0, 0}, marble, {h, 0, h}, 1.0f / h},
        // A pivot tie keeps the earlier row; the later one would give -infinity.
        {"pivot tie", {0, 0, 0}, {1, 0, 1}, {0, 0, 1}, {h, 0, h}, INFINITY},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bits(c.expected),
                  bits(Simulation::crossingDistance(c.start, c.direction, c.origin, c.heading)))
            << c.what;
    EXPECT_TRUE(
        std::isnan(Simulation::crossingDistance({0, 5, 0}, {2.5f, 0, 0}, {0.5f, 5.5f, 0}, alongX)))
        << "on the parallel plane";
}
