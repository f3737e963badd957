#pragma once

// A decoded picture: width x height pixels of 8-bit red, green, blue, rows packed
// without gaps, bottom row first (the row order OpenGL expects for textures).
// data and the record are separate malloc blocks owned by the caller.
struct RgbImage {
    int width;
    int height;
    unsigned char* data;
};
