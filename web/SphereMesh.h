#pragma once

#include <cstddef>
#include <vector>

// A sphere about the origin tessellated as freeglut tessellates glutSolidSphere:
// a vertex at each pole and stacks - 1 rings of slices vertices between them, the
// rings running from +z to -z, each ring turning clockwise about +z; the unit normal
// of each vertex is its direction from the centre. Freeglut draws one triangle strip
// per stack, each closing on its first slice; this mesh holds the same triangles, corner
// for corner in the order GL takes them from the strips, as one list into one interleaved
// array: one draw call per sphere instead of a call per vertex, which is what a browser
// can afford.
class SphereMesh {
public:
    SphereMesh(float radius, int slices, int stacks);

    float getRadius() const { return radius; }
    int getSlices() const { return slices; }
    int getStacks() const { return stacks; }

    // x, y, z of each vertex's normal, then of the vertex, vertex after vertex.
    const std::vector<float>& getInterleaved() const { return interleaved; }
    // x, y, z of each vertex, and of its normal.
    std::vector<float> getVertices() const { return everyOther(3); }
    std::vector<float> getNormals() const { return everyOther(0); }
    // stacks strips of (slices + 1) * 2 vertex indices each.
    const std::vector<unsigned short>& getStripIndices() const { return stripIndices; }
    // Three indices a triangle, the strips' triangles in order: 2 * slices per stack.
    const std::vector<unsigned short>& getTriangleIndices() const { return triangleIndices; }

private:
    std::vector<float> everyOther(std::size_t first) const;

    float radius;
    int slices;
    int stacks;
    std::vector<float> interleaved;
    std::vector<unsigned short> stripIndices;
    std::vector<unsigned short> triangleIndices;
};
