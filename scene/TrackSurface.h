#pragma once

#include <GL/gl.h>

#include "image/RgbImage.h"
#include "scene/TrackTables.h"

// The track as drawn: one lit triangle strip textured with "surface.bmp".
class TrackSurface {
public:
    // Loads the texture, so a GL context must be current.
    TrackSurface();

    void draw();

    // Copies the row under the cursor to x, y, z and advances the cursor; a null
    // cursor starts at row 0. Past the last row it keeps handing out the last row.
    static void nextTrackVertex(TrackCursor& cursor, float& x, float& y, float& z);

private:
    float diffuse[4];
    GLuint texture;
    RgbImage* image; // null when the bitmap could not be read
};
