#include "scene/TrackTables.h"

#include <cmath>
#include <cstddef>

// The tables are built once at start-up from the course's rules rather than
// written out as 2,400 literals: the rules below are the course's documentation.
// Every position is worked out in double and rounded once to float.

namespace {

float vertices[trackRowCount * 3];
float normals[trackRowCount * 3];
float texCoords[trackRowCount * 2];

// One point of the profile that all three ramps share: offset along x from the
// ramp's first pair, drop below the deck before it, and the stored normal, which
// bisects the two segments meeting there (the first and last are not unit length).
struct RampPoint {
    double offset;
    double drop;
    float nx;
    float ny;
};

// A rounded lip (slopes 0.4, 0.6, 1.0), a straight of slope 1.4 and a rounded
// foot (1.0, 0.6, 0.4): 2.75 down over 2.75 along x.
const RampPoint rampProfile[] = {
    {0.0, 0.0, 0.184135869f, 0.95612824f},   {0.25, 0.1, 0.444362283f, 0.895847201f},
    {0.5, 0.25, 0.615411341f, 0.7882061f},   {0.75, 0.5, 0.763022661f, 0.646371722f},
    {2.0, 2.25, 0.763022661f, 0.646371722f}, {2.25, 2.5, 0.615411341f, 0.7882061f},
    {2.5, 2.65, 0.444362283f, 0.895847201f}, {2.75, 2.75, 0.184135869f, 0.95612824f},
};

// S-bends and the bulb take their pairs every quarter unit of x.
const double bendStep = 0.25;
const int bendPairs = 25; // x0 ... x0 + 6
const int bulbPairs = 23; // 148.25 ... 153.75

// Distance from a circle's centre line to its edge, at offset u along x.
double arc(double radius, double u)
{
    return std::sqrt(radius * radius - u * u);
}

// S-bend 1, d = x - 30: two quarter turns about z = -2 that shift the track from
// z 0 ... 2 to z -6 ... -4; circles about x0 first, then about x0 + 6.
double sBend1Left(double d)
{
    return d <= 2.0 ? -2.0 + arc(2.0, d) : -2.0 - arc(4.0, d - 6.0);
}

double sBend1Right(double d)
{
    return d <= 4.0 ? -2.0 + arc(4.0, d) : -2.0 - arc(2.0, d - 6.0);
}

// S-bend 2, d = x - 90: S-bend 1 mirrored about z = -2, edges exchanged so the
// left edge keeps the smaller z; it brings the track back to z 0 ... 2.
double sBend2Left(double d)
{
    return d <= 4.0 ? -2.0 - arc(4.0, d) : -2.0 + arc(2.0, d - 6.0);
}

double sBend2Right(double d)
{
    return d <= 2.0 ? -2.0 - arc(2.0, d) : -2.0 + arc(4.0, d - 6.0);
}

// Fills the tables pair by pair, left edge (even row) first.
class TrackBuilder {
public:
    void pair(double x, double y, double leftZ, double rightZ, float nx = 0.0f, float ny = 1.0f)
    {
        row(x, y, leftZ, nx, ny);
        row(x, y, rightZ, nx, ny);
    }

    void ramp(double x0, double deckY, double leftZ, double rightZ)
    {
        for (const RampPoint& p : rampProfile)
            pair(x0 + p.offset, deckY - p.drop, leftZ, rightZ, p.nx, p.ny);
    }

    void sBend(double x0, double y, double (*left)(double), double (*right)(double))
    {
        for (int k = 0; k < bendPairs; ++k) {
            const double d = bendStep * k;
            pair(x0 + d, y, left(d), right(d));
        }
    }

private:
    void row(double x, double y, double z, float nx, float ny)
    {
        float* v = vertices + 3 * next;
        v[0] = static_cast<float>(x);
        v[1] = static_cast<float>(y);
        v[2] = static_cast<float>(z);
        float* n = normals + 3 * next;
        n[0] = nx;
        n[1] = ny;
        n[2] = 0.0f;
        // The texture repeats once per world unit, laid straight on the ground plan.
        texCoords[2 * next] = v[0];
        texCoords[2 * next + 1] = v[2];
        ++next;
    }

    std::size_t next = 0;
};

void buildTrack()
{
    TrackBuilder track;
    track.pair(0.0, 5.0, 0.0, 2.0); // start of the deck
    track.ramp(2.5, 5.0, 0.0, 2.0);
    track.sBend(30.0, 2.25, sBend1Left, sBend1Right);
    track.ramp(62.5, 2.25, -6.0, -4.0);
    track.sBend(90.0, -0.5, sBend2Left, sBend2Right);
    track.ramp(121.0, -0.5, 0.0, 2.0);

    // The bulb is the circle of radius 3 about (151, 1). It is entered where the
    // circle is 2 wide; that pair is stored as exactly 0 and 2, which the circle
    // at the rounded x would miss by a hair.
    track.pair(151.0 - 2.0 * std::sqrt(2.0), -3.25, 0.0, 2.0);
    for (int k = 0; k < bulbPairs; ++k) {
        const double x = 148.25 + bendStep * k;
        track.pair(x, -3.25, 1.0 - arc(3.0, x - 151.0), 1.0 + arc(3.0, x - 151.0));
    }
    // The circle's tip at 154 is a single point: the closing pair keeps the
    // straight's width instead. It is never drawn.
    track.pair(154.0, -3.25, 0.0, 2.0);
}

// Built during static initialisation, before main and so before any caller.
[[maybe_unused]] const bool trackBuilt = (buildTrack(), true);

} // namespace

const float* const trackVertices = vertices;
const float* const trackNormals = normals;
const float* const trackTexCoords = texCoords;
