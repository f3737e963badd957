#pragma once

#include <vector>

// A sphere about the origin tessellated as freeglut tessellates glutSolidSphere:
// a vertex at each pole and stacks - 1 rings of slices vertices between them, the
// rings running from +z to -z, each ring turning clockwise about +z; the unit normal
// of each vertex is its direction from the centre. It is drawn as one triangle strip
// per stack, each closing on its first slice, so a sphere drawn with it shows the
// same triangles, lit the same way, as freeglut's.
class SphereMesh {
public:
    SphereMesh(float radius, int slices, int stacks);

    // The strips, with immediate-mode calls: one normal and one vertex per index.
    void draw() const;

    float getRadius() const { return radius; }
    int getSlices() const { return slices; }
    int getStacks() const { return stacks; }

    // x, y, z of each vertex, and of its normal.
    const std::vector<float>& getVertices() const { return vertices; }
    const std::vector<float>& getNormals() const { return normals; }
    // stacks strips of (slices + 1) * 2 vertex indices each.
    const std::vector<unsigned short>& getStripIndices() const { return stripIndices; }

private:
    float radius;
    int slices;
    int stacks;
    std::vector<float> vertices;
    std::vector<float> normals;
    std::vector<unsigned short> stripIndices;
};
