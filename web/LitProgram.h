#pragma once

#include <map>
#include <tuple>
#include <vector>

#include "web/SphereMesh.h"

// The scene's draws, the track's strip and the spheres, made past the browser's GL
// emulation by two small WebGL programs of the page's own, one textured and one not.
// The emulation sets up every uniform and attribute of its program again for each
// draw, which is most of what a frame costs a phone. These programs compute the
// emulation's lighting and texturing line for line, so the picture stays the same:
// light 0 alone, the texture of unit 0 modulated, as the scene draws. They stay set up
// from one draw to the next, so a sphere after another costs its matrices, its colour
// and one draw call. Until release(), GL is theirs: whatever else draws calls
// release() first.
class LitProgram {
public:
    // The triangles of glutSolidSphere at this size; the mesh is built, and its arrays go
    // into GL buffers, the first time a size is drawn.
    void drawSphere(float radius, int slices, int stacks);
    // Vertices interleaved as texture coordinate (texCoordSize floats, 0 for none),
    // normal (3 floats, or none) and vertex (vertexSize floats), drawn in this mode, one
    // WebGL has (points to triangle fans). Both draws are textured while unit 0's 2-D
    // texture is enabled; a missing normal or texture coordinate is GL's initial current
    // one, (0, 0, 1) and (0, 0, 0, 1): the scene sets neither.
    void drawArrays(unsigned mode, const std::vector<float>& data, int texCoordSize, bool hasNormal,
                    int vertexSize);
    // GL given back to the emulation as its next draw expects it; nothing to do when it
    // has it.
    void release();

private:
    // Where the attributes point: a buffer of the programs' own, with the stride and the
    // offsets of a vertex's parts in floats.
    struct Layout {
        int buffer = -1; // -1 for none
        int stride = 0;
        int texCoordSize = 0;
        int normalAt = -1; // -1 for none
        int vertexSize = 0;
        int vertexAt = 0;
        bool operator==(const Layout& o) const
        {
            return std::tie(buffer, stride, texCoordSize, normalAt, vertexSize, vertexAt) ==
                   std::tie(o.buffer, o.stride, o.texCoordSize, o.normalAt, o.vertexSize,
                            o.vertexAt);
        }
    };
    struct Sphere {
        SphereMesh mesh;
        Layout arrays;
        int indices; // the buffer of its triangles' indices
    };
    void take(bool textured);
    void point(const Layout& layout);

    std::map<std::tuple<float, int, int>, Sphere> spheres;
    int stripBuffer = -1;         // drawArrays's buffer
    std::vector<float> stripData; // and what it holds
    int held = -1;                // the program in use while GL is theirs: 0 plain, 1 textured
    Layout pointed[2];            // where each program's attributes point while GL is theirs
};
