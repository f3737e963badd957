#include <gtest/gtest.h>

#include <cstddef>

#include "scene/TrackSurface.h"
#include "scene/TrackTables.h"
#include "support/Bits.h"

namespace {

const float* row(int r)
{
    return trackVertices + 3 * std::size_t(r);
}

} // namespace

TEST(TrackTables, AreTheCourseBitForBit)
{
    EXPECT_EQ(0xe557621b1fc1dac9u, digest(trackVertices, 3 * std::size_t(trackRowCount)));
    EXPECT_EQ(0x57ad1fd353e745edu, digest(trackNormals, 3 * std::size_t(trackRowCount)));
    EXPECT_EQ(0xe0c8d20ef644914du, digest(trackTexCoords, 2 * std::size_t(trackRowCount)));

    // A few rows that show the shape: left edge on even rows, right on odd ones.
    const struct {
        int row;
        float x, y, z;
    } rows[] = {
        {0, 0, 5, 0},
        {1, 0, 5, 2},                    // the deck at height 5, 2 wide
        {10, 4.5f, 2.75f, 0},            // the middle of the first ramp
        {16, 5.25f, 2.25f, 0},           // its foot, 2.75 lower
        {36, 32.25f, 2.25f, -3.391941f}, // in the first S-bend, wider than 2
        {66, 36, 2.25f, -6},             // the bend has shifted the track by 6
        {150, 148.17157f, -3.25f, 0},    // the mouth of the end bulb, by the end line
        {175, 151, -3.25f, 4},           // the bulb at its widest
        {198, 154, -3.25f, 0},           // the closing pair
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        EXPECT_EQ(bits(r.x), bits(row(r.row)[0]));
        EXPECT_EQ(bits(r.y), bits(row(r.row)[1]));
        EXPECT_EQ(bits(r.z), bits(row(r.row)[2]));
    }
    // Texture coordinates are x and z; off the ramps the normals point straight up.
    EXPECT_EQ(bits(trackTexCoords[2 * 36 + 1]), bits(row(36)[2]));
    EXPECT_EQ(bits(1.0f), bits(trackNormals[3 * 36 + 1]));
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
