#pragma once

// The whole course as one strip of vertex pairs (left edge on even rows, right
// edge on odd rows), in three parallel tables of trackRowCount rows each.
// They are contiguous floats so OpenGL can read them as client arrays.
constexpr int trackRowCount = 200;

extern const float* const trackVertices;  // x, y, z per row
extern const float* const trackNormals;   // nx, ny, nz per row
extern const float* const trackTexCoords; // s, t per row, equal to x, z

// The next row of trackVertices to hand out, or null before the first step of a run.
using TrackCursor = const float*;
