#include "scene/TrackSurface.h"

// Placeholder until the textured strip is drawn.
TrackSurface::TrackSurface() : diffuse{1.0f, 1.0f, 1.0f, 1.0f}, texture(0), image(nullptr)
{
}

void TrackSurface::draw()
{
}

void TrackSurface::nextTrackVertex(TrackCursor& cursor, float& x, float& y, float& z)
{
    if (!cursor)
        cursor = trackVertices;
    x = cursor[0];
    y = cursor[1];
    z = cursor[2];
    cursor += 3;
}
