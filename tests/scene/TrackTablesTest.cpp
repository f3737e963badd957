#include <gtest/gtest.h>

#include <cstddef>

#include "scene/TrackSurface.h"
#include "scene/TrackTables.h"
#include "support/Bits.h"

// Every number of the three tables, the course the runs roll down.
TEST(TrackTables, AreTheCourseBitForBit)
{
    EXPECT_EQ(0xe557621b1fc1dac9u, digest(trackVertices, 3 * std::size_t(trackRowCount)));
    EXPECT_EQ(0x57ad1fd353e745edu, digest(trackNormals, 3 * std::size_t(trackRowCount)));
    EXPECT_EQ(0xe0c8d20ef644914du, digest(trackTexCoords, 2 * std::size_t(trackRowCount)));
}

TEST(TrackCursor, WalksFromNullToTheLastRowAndHoldsThere)
{
    TrackCursor cursor = nullptr;
    float x, y, z;
    TrackSurface::nextTrackVertex(cursor, x, y, z);
    EXPECT_EQ(trackVertices + 3, cursor);
    EXPECT_EQ(0.0f, x + y - 5 + z);
    for (int step = 1; step < trackRowCount + 3; ++step)
        TrackSurface::nextTrackVertex(cursor, x, y, z);
    EXPECT_EQ(trackVertices + 3 * std::size_t(trackRowCount), cursor); // never beyond the table
    EXPECT_EQ(154.0f, x);
    EXPECT_EQ(-3.25f, y);
    EXPECT_EQ(2.0f, z);
}
