#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "scene/TrackSurface.h"
#include "scene/TrackTables.h"

// Expected values were worked out separately in double precision and rounded
// once to float; they are given as bit patterns, with the decimals alongside.

namespace {

uint32_t bits(float f)
{
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

const float* vertex(int row)
{
    return trackVertices + 3 * static_cast<std::size_t>(row);
}

const float* normal(int row)
{
    return trackNormals + 3 * static_cast<std::size_t>(row);
}

// One pair of rows: shared x and y, then the left (even row) and right z.
struct ExpectedPair {
    int evenRow;
    uint32_t x, y, leftZ, rightZ;
};

void expectPair(const ExpectedPair& e)
{
    SCOPED_TRACE("rows " + std::to_string(e.evenRow) + "/" + std::to_string(e.evenRow + 1));
    const float* left = vertex(e.evenRow);
    const float* right = vertex(e.evenRow + 1);
    EXPECT_EQ(bits(left[0]), e.x);
    EXPECT_EQ(bits(left[1]), e.y);
    EXPECT_EQ(bits(left[2]), e.leftZ);
    EXPECT_EQ(bits(right[0]), e.x);
    EXPECT_EQ(bits(right[1]), e.y);
    EXPECT_EQ(bits(right[2]), e.rightZ);
}

const ExpectedPair rampPairs[] = {
    {2, 0x40200000, 0x40a00000, 0x00000000, 0x40000000},   // 2.5, 5, 0 / 2
    {4, 0x40300000, 0x409ccccd, 0x00000000, 0x40000000},   // 2.75, 4.9000001
    {6, 0x40400000, 0x40980000, 0x00000000, 0x40000000},   // 3, 4.75
    {8, 0x40500000, 0x40900000, 0x00000000, 0x40000000},   // 3.25, 4.5
    {10, 0x40900000, 0x40300000, 0x00000000, 0x40000000},  // 4.5, 2.75
    {12, 0x40980000, 0x40200000, 0x00000000, 0x40000000},  // 4.75, 2.5
    {14, 0x40a00000, 0x40166666, 0x00000000, 0x40000000},  // 5, 2.3499999
    {16, 0x40a80000, 0x40100000, 0x00000000, 0x40000000},  // 5.25, 2.25
    {68, 0x427a0000, 0x40100000, 0xc0c00000, 0xc0800000},  // 62.5, 2.25, -6 / -4
    {70, 0x427b0000, 0x4009999a, 0xc0c00000, 0xc0800000},  // 62.75, 2.1500001
    {72, 0x427c0000, 0x40000000, 0xc0c00000, 0xc0800000},  // 63, 2
    {74, 0x427d0000, 0x3fe00000, 0xc0c00000, 0xc0800000},  // 63.25, 1.75
    {76, 0x42810000, 0x00000000, 0xc0c00000, 0xc0800000},  // 64.5, 0
    {78, 0x42818000, 0xbe800000, 0xc0c00000, 0xc0800000},  // 64.75, -0.25
    {80, 0x42820000, 0xbecccccd, 0xc0c00000, 0xc0800000},  // 65, -0.400000006
    {82, 0x42828000, 0xbf000000, 0xc0c00000, 0xc0800000},  // 65.25, -0.5
    {134, 0x42f20000, 0xbf000000, 0x00000000, 0x40000000}, // 121, -0.5, 0 / 2
    {136, 0x42f28000, 0xbf19999a, 0x00000000, 0x40000000}, // 121.25, -0.600000024
    {138, 0x42f30000, 0xbf400000, 0x00000000, 0x40000000}, // 121.5, -0.75
    {140, 0x42f38000, 0xbf800000, 0x00000000, 0x40000000}, // 121.75, -1
    {142, 0x42f60000, 0xc0300000, 0x00000000, 0x40000000}, // 123, -2.75
    {144, 0x42f68000, 0xc0400000, 0x00000000, 0x40000000}, // 123.25, -3
    {146, 0x42f70000, 0xc049999a, 0x00000000, 0x40000000}, // 123.5, -3.1500001
    {148, 0x42f78000, 0xc0500000, 0x00000000, 0x40000000}, // 123.75, -3.25
};

// Both S-bends at every branch of their edge formulas (d = 0, 0.25, 2, 2.25, 3,
// 4, 4.25, 5.75, 6), and the bulb from its entry to the closing pair.
const ExpectedPair curvePairs[] = {
    {18, 0x41f00000, 0x40100000, 0x00000000, 0x40000000},  // 30, 2.25, 0 / 2
    {20, 0x41f20000, 0x40100000, 0xbc808103, 0x3ffeffc0},  // 30.25, -0.0156865176 / 1.99217987
    {34, 0x42000000, 0x40100000, 0xc0000000, 0x3fbb67af},  // 32, -2 / 1.46410167
    {36, 0x42010000, 0x40100000, 0xc0591590, 0x3fa751f9},  // 32.25, -3.39194107 / 1.30718911
    {42, 0x42040000, 0x40100000, 0xc094a9ff, 0x3f254ff5},  // 33, -4.64575148 / 0.645751297
    {50, 0x42080000, 0x40100000, 0xc0aed9ec, 0xc0000000},  // 34, -5.46410179 / -2
    {52, 0x42090000, 0x40100000, 0xc0b31997, 0xc03df7bd},  // 34.25, -5.59687376 / -2.96824574
    {66, 0x42100000, 0x40100000, 0xc0c00000, 0xc0800000},  // 36, -6 / -4
    {84, 0x42b40000, 0xbf000000, 0xc0c00000, 0xc0800000},  // 90, -0.5, -6 / -4
    {86, 0x42b48000, 0xbf000000, 0xc0bfbff0, 0xc07efefe},  // 90.25, -5.99217987 / -3.98431349
    {100, 0x42b80000, 0xbf000000, 0xc0aed9ec, 0xc0000000}, // 92, -5.46410179 / -2
    {102, 0x42b88000, 0xbf000000, 0xc0a9d47e, 0xbf1ba9c0}, // 92.25, -5.30718899 / -0.608058929
    {116, 0x42bc0000, 0xbf000000, 0xc0000000, 0x3fbb67af}, // 94, -2 / 1.46410167
    {118, 0x42bc8000, 0xbf000000, 0xbf841085, 0x3fcc665b}, // 94.25, -1.03175414 / 1.59687364
    {130, 0x42bf8000, 0xbf000000, 0xbc808103, 0x3ffeffc0}, // 95.75, -0.0156865176 / 1.99217987
    {132, 0x42c00000, 0xbf000000, 0x00000000, 0x40000000}, // 96, 0 / 2
    {150, 0x43142bec, 0xc0500000, 0x00000000, 0x40000000}, // 148.17157, -3.25, 0 / 2
    {152, 0x43144000, 0xc0500000, 0xbe4bbb9d, 0x400cbbba}, // 148.25, -0.198957875 / 2.19895792
    {158, 0x43150000, 0xc0500000, 0xbf9e377a, 0x404f1bbd}, // 149, -1.23606801 / 3.23606801
    {174, 0x43170000, 0xc0500000, 0xc0000000, 0x40800000}, // 151, -2 / 4
    {196, 0x4319c000, 0xc0500000, 0xbe4bbb9d, 0x400cbbba}, // 153.75, -0.198957875 / 2.19895792
    {198, 0x431a0000, 0xc0500000, 0x00000000, 0x40000000}, // 154, 0 / 2
};

// The four stored ramp normals N_0 ... N_3 (N_4 ... N_7 repeat them backwards).
const uint32_t rampNormalBits[4][2] = {
    {0x3e3c8e1d, 0x3f74c4d2}, // 0.184135869, 0.95612824
    {0x3ee38374, 0x3f65563e}, // 0.444362283, 0.895847201
    {0x3f1d8b99, 0x3f49c7e0}, // 0.615411341, 0.7882061
    {0x3f435574, 0x3f25789e}, // 0.763022661, 0.646371722
};

const int rampFirstRows[] = {2, 68, 134};

} // namespace

TEST(TrackTables, CheckRowsMatchTheCourseFigures)
{
    const struct {
        int row;
        float x, y, z;
    } rows[] = {
        {36, 32.25f, 2.25f, -3.391941f},   {43, 33.0f, 2.25f, 0.6457513f},
        {158, 149.0f, -3.25f, -1.236068f}, {175, 151.0f, -3.25f, 4.0f},
        {150, 148.17157f, -3.25f, 0.0f},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE("row " + std::to_string(r.row));
        EXPECT_EQ(bits(vertex(r.row)[0]), bits(r.x));
        EXPECT_EQ(bits(vertex(r.row)[1]), bits(r.y));
        EXPECT_EQ(bits(vertex(r.row)[2]), bits(r.z));
    }
}

TEST(TrackTables, RampRowsFollowTheSharedProfile)
{
    for (const ExpectedPair& e : rampPairs)
        expectPair(e);
}

TEST(TrackTables, SBendAndBulbRowsFollowTheirCircles)
{
    for (const ExpectedPair& e : curvePairs)
        expectPair(e);
}

TEST(TrackTables, EachRampDropsExactlyTwoPointSevenFive)
{
    EXPECT_EQ(vertex(16)[1], 2.25f);
    EXPECT_EQ(vertex(17)[1], 2.25f);
    EXPECT_EQ(vertex(82)[1], -0.5f);
    EXPECT_EQ(vertex(83)[1], -0.5f);
    EXPECT_EQ(vertex(148)[1], -3.25f);
    EXPECT_EQ(vertex(149)[1], -3.25f);
}

TEST(TrackTables, RampNormalsAreStoredAsListed)
{
    for (int first : rampFirstRows) {
        for (int j = 0; j < 8; ++j) {
            const int stored = j < 4 ? j : 7 - j;
            for (int row = first + 2 * j; row < first + 2 * j + 2; ++row) {
                SCOPED_TRACE("row " + std::to_string(row));
                EXPECT_EQ(bits(normal(row)[0]), rampNormalBits[stored][0]);
                EXPECT_EQ(bits(normal(row)[1]), rampNormalBits[stored][1]);
                EXPECT_EQ(bits(normal(row)[2]), 0u);
            }
        }
    }
}

TEST(TrackTables, RampEndNormalsAreShortAndSteepNormalsShared)
{
    for (int row : {2, 3, 16, 17, 68, 69, 82, 83, 134, 135, 148, 149}) {
        SCOPED_TRACE("row " + std::to_string(row));
        const double nx = normal(row)[0];
        const double ny = normal(row)[1];
        EXPECT_NEAR(std::sqrt(nx * nx + ny * ny), 0.973698, 5e-7);
    }
    for (int first : {8, 74, 140}) {
        for (int row = first; row < first + 4; ++row) {
            SCOPED_TRACE("row " + std::to_string(row));
            EXPECT_EQ(bits(normal(row)[0]), rampNormalBits[3][0]);
            EXPECT_EQ(bits(normal(row)[1]), rampNormalBits[3][1]);
        }
    }
}

TEST(TrackTables, RowsOffTheRampsPointStraightUp)
{
    for (int row = 0; row < trackRowCount; ++row) {
        bool onRamp = false;
        for (int first : rampFirstRows)
            onRamp = onRamp || (row >= first && row < first + 16);
        if (onRamp)
            continue;
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ(bits(normal(row)[0]), bits(0.0f));
        EXPECT_EQ(bits(normal(row)[1]), bits(1.0f));
        EXPECT_EQ(bits(normal(row)[2]), bits(0.0f));
    }
}

TEST(TrackTables, TexCoordsAreXAndZBitForBit)
{
    for (int row = 0; row < trackRowCount; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const float* texCoord = trackTexCoords + 2 * static_cast<std::size_t>(row);
        EXPECT_EQ(bits(texCoord[0]), bits(vertex(row)[0]));
        EXPECT_EQ(bits(texCoord[1]), bits(vertex(row)[2]));
    }
}

TEST(TrackTables, PairsShareXAndYAndRunDownTheTrack)
{
    EXPECT_EQ(trackRowCount, 200);
    EXPECT_EQ(vertex(0)[0], 0.0f);
    EXPECT_EQ(vertex(198)[0], 154.0f);
    float narrowest = 100.0f, widest = 0.0f;
    for (int k = 0; k < trackRowCount / 2; ++k) {
        SCOPED_TRACE("pair " + std::to_string(k));
        const float* left = vertex(2 * k);
        const float* right = vertex(2 * k + 1);
        EXPECT_EQ(bits(left[0]), bits(right[0]));
        EXPECT_EQ(bits(left[1]), bits(right[1]));
        EXPECT_EQ(bits(normal(2 * k)[0]), bits(normal(2 * k + 1)[0]));
        EXPECT_EQ(bits(normal(2 * k)[1]), bits(normal(2 * k + 1)[1]));
        EXPECT_LT(left[2], right[2]);
        if (k > 0) {
            EXPECT_LT(vertex(2 * k - 2)[0], left[0]);
        }
        narrowest = std::fmin(narrowest, right[2] - left[2]);
        widest = std::fmax(widest, right[2] - left[2]);
    }
    EXPECT_EQ(narrowest, 2.0f);
    EXPECT_EQ(widest, 6.0f);
}

TEST(TrackTables, EveryStripTriangleFacesUp)
{
    // A strip's odd triangles are wound (i+1, i, i+2); seen from +y a front face
    // runs counter-clockwise, i.e. the cross product has a positive y.
    for (int i = 0; i + 2 < trackRowCount; ++i) {
        const float* a = vertex(i % 2 == 0 ? i : i + 1);
        const float* b = vertex(i % 2 == 0 ? i + 1 : i);
        const float* c = vertex(i + 2);
        const double crossY =
            double(b[2] - a[2]) * (c[0] - a[0]) - double(b[0] - a[0]) * (c[2] - a[2]);
        EXPECT_GT(crossY, 0.0) << "triangle " << i;
    }
}

TEST(TrackCursor, WalksFromNullThroughTheFirstQuad)
{
    TrackCursor cursor = nullptr;
    const float expected[4][3] = {{0, 5, 0}, {0, 5, 2}, {2.5f, 5, 0}, {2.5f, 5, 2}};
    for (const auto& e : expected) {
        float x, y, z;
        TrackSurface::nextTrackVertex(cursor, x, y, z);
        EXPECT_EQ(x, e[0]);
        EXPECT_EQ(y, e[1]);
        EXPECT_EQ(z, e[2]);
    }
    EXPECT_EQ(cursor, vertex(4));
}

TEST(TrackCursor, ReachesTheBulbEntryAndTheLastRow)
{
    TrackCursor cursor = nullptr;
    float x = 0, y = 0, z = 0;
    for (int step = 1; step <= 151; ++step)
        TrackSurface::nextTrackVertex(cursor, x, y, z);
    EXPECT_EQ(bits(x), 0x43142becu); // 148.17157
    EXPECT_EQ(y, -3.25f);
    EXPECT_EQ(bits(z), bits(0.0f));

    for (int step = 152; step <= 200; ++step)
        TrackSurface::nextTrackVertex(cursor, x, y, z);
    EXPECT_EQ(x, 154.0f);
    EXPECT_EQ(y, -3.25f);
    EXPECT_EQ(z, 2.0f);
}

TEST(TrackCursor, NullRestartsAtRowZero)
{
    TrackCursor cursor = nullptr;
    float x, y, z;
    for (int step = 0; step < 37; ++step)
        TrackSurface::nextTrackVertex(cursor, x, y, z);
    EXPECT_EQ(z, vertex(36)[2]);

    cursor = nullptr;
    TrackSurface::nextTrackVertex(cursor, x, y, z);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 5.0f);
    EXPECT_EQ(z, 0.0f);
    EXPECT_EQ(cursor, trackVertices + 3);
}

TEST(TrackCursor, HoldsAtTheLastRowAfterTheTable)
{
    TrackCursor cursor = nullptr;
    float x, y, z;
    for (int step = 0; step < trackRowCount; ++step)
        TrackSurface::nextTrackVertex(cursor, x, y, z);
    const TrackCursor afterTable = cursor;

    for (int extra = 0; extra < 3; ++extra) {
        x = y = z = 0.0f;
        TrackSurface::nextTrackVertex(cursor, x, y, z);
        EXPECT_EQ(x, 154.0f);
        EXPECT_EQ(y, -3.25f);
        EXPECT_EQ(z, 2.0f);
        EXPECT_EQ(cursor, afterTable);
    }
}
