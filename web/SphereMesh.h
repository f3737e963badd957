#pragma once

#include <vector>

// A sphere about the origin tessellated as freeglut tessellates glutSolidSphere:
// a vertex at each pole and stacks - 1 rings of slices vertices between them, the
// rings running from +z to -z, each ring turning clockwise about +z; the unit normal
// of each vertex is its direction from the centre. Freeglut draws one triangle strip
// per stack, each closing on its first slice; this mesh draws the same triangles, corner
// for corner in the order GL takes them from the strips, as one list from one interleaved
// array: one draw call per sphere instead of a call per vertex, which is what a browser's
// GL emulation can afford.
class SphereMesh {
public:
    SphereMesh(float radius, int slices, int stacks);

    // The triangles in one glDrawElements call from the interleaved array; the vertex
    // and normal arrays are disabled again afterwards.
    void draw() const;

    float getRadius() const { return radius; }
    int getSlices() const { return slices; }
    int getStacks() const { return stacks; }

    // x, y, z of each vertex, and of its normal.
    const std::vector<float>& getVertices() const { return vertices; }
    const std::vector<float>& getNormals() const { return normals; }
    // stacks strips of (slices + 1) * 2 vertex indices each.
    const std::vector<unsigned short>& getStripIndices() const { return stripIndices; }
    // Three indices a triangle, the strips' triangles in order: 2 * slices per stack.
    const std::vector<unsigned short>& getTriangleIndices() const { return triangleIndices; }

private:
    float radius;
    int slices;
    int stacks;
    std::vector<float> vertices;
    std::vector<float> normals;
    std::vector<unsigned short> stripIndices;
    std::vector<float> interleaved; // normal, then vertex, of each vertex
    std::vector<unsigned short> triangleIndices;
};
