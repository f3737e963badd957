#include "scene/TrackTables.h"

// Placeholder until the course is generated.
static float vertices[trackRowCount * 3];
static float normals[trackRowCount * 3];
static float texCoords[trackRowCount * 2];

const float* const trackVertices = vertices;
const float* const trackNormals = normals;
const float* const trackTexCoords = texCoords;
