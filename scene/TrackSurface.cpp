#include "scene/TrackSurface.h"

#include <GL/glu.h>

#include <cstddef>

#include "image/BmpLoader.h"

// The closing pair (rows 198 and 199) only closes the tables: the strip ends
// with the pair at x 153.75.
static const int drawnRowCount = trackRowCount - 2;

TrackSurface::TrackSurface() : diffuse{1.0f, 1.0f, 1.0f, 1.0f}, texture(0), image(nullptr)
{
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);

    // Without an image the loader has already told the user why; the track is
    // then drawn white and lit, untextured.
    image = loadBmpImage("surface.bmp");
    if (image) {
        // Image rows are packed 3-byte pixels, so any width must be read unpadded.
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, image->width, image->height, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, image->data);
        // Loads level 0 again and the whole chain, rescaling sides that are not
        // powers of two.
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, image->width, image->height, GL_RGB,
                          GL_UNSIGNED_BYTE, image->data);
    }

    // Texture coordinates are world x and z, so the image tiles once per unit.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    // The texture colour multiplies the lit material; nothing else changes this.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void TrackSurface::draw()
{
    const bool textured = image != nullptr;

    // Only the diffuse colour: specular and shininess are whatever the marble left.
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
    }

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    if (textured)
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, trackVertices);
    glNormalPointer(GL_FLOAT, 0, trackNormals);
    if (textured)
        glTexCoordPointer(2, GL_FLOAT, 0, trackTexCoords);

    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i < drawnRowCount; ++i)
        glArrayElement(i);
    glEnd();

    // The marble and the obstacles drawn next are untextured and array-free.
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    if (textured) {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisable(GL_TEXTURE_2D);
    }
}

void TrackSurface::nextTrackVertex(TrackCursor& cursor, float& x, float& y, float& z)
{
    const TrackCursor end = trackVertices + std::size_t{3} * trackRowCount;
    if (!cursor)
        cursor = trackVertices;
    // No caller walks past the table; should one, it keeps getting the last row.
    const float* row = cursor < end ? cursor : end - 3;
    x = row[0];
    y = row[1];
    z = row[2];
    if (cursor < end)
        cursor += 3;
}
