// The parts of OpenGL 1.1, GLU and GLUT that the browser's emulation lacks or gets
// wrong, under their usual names, so that the scene calls them as on the desktop.

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <emscripten.h>

#include <vector>

#include "web/LitProgram.h"
#include "web/LookAtMatrix.h"
#include "web/MipmapChain.h"

namespace {

// A client array: its address, its components and its stride in bytes; a null address
// when the array is not enabled.
struct ClientArray {
    int pointer;
    int size;
    int stride;
};
static_assert(sizeof(ClientArray) == 3 * sizeof(int), "read as three ints");

// Where the texture-coordinate, normal and vertex arrays point, as the emulation keeps
// them. The emulation answers glGetPointerv only for the vertex, colour and
// texture-coordinate arrays, so the three are read from its own records.
EM_JS(void, readClientArrays, (ClientArray * out), {
    var arrays = GLImmediate.clientAttributes;
    var enabled = GLImmediate.enabledClientAttributes;
    var names = [
        GLImmediate.TEXTURE0 + GLImmediate.clientActiveTexture, GLImmediate.NORMAL,
        GLImmediate.VERTEX
    ];
    for (var i = 0; i < 3; i++) {
        var a = arrays[names[i]];
        var on = a && enabled[names[i]];
        HEAP32[(out >> 2) + i * 3] = on ? a.pointer : 0;
        HEAP32[(out >> 2) + i * 3 + 1] = on ? a.size : 0;
        HEAP32[(out >> 2) + i * 3 + 2] = on ? (a.stride || a.size * 4) : 0;
    }
});

const float* element(const ClientArray& array, int i)
{
    return reinterpret_cast<const float*>(array.pointer + i * array.stride);
}

// The vertices glArrayElement has named since glBegin, copied out of the client arrays
// into one interleaved array (texture coordinate, normal, vertex), to be drawn by
// glEnd in one call instead of three calls into the emulation per vertex.
struct ElementBatch {
    bool open = false; // in glBegin, with a vertex array of 2 or 3 floats to draw
    GLenum mode = 0;
    ClientArray arrays[3] = {}; // as glBegin found them (readClientArrays)
    std::vector<float> data;
    const ClientArray& texCoord() const { return arrays[0]; }
    const ClientArray& normal() const { return arrays[1]; }
    const ClientArray& vertex() const { return arrays[2]; }
};
ElementBatch batch;

// The scene's draws past the emulation.
LitProgram lit;

// Ends the emulation's glBegin as its glEnd would, but without drawing: the batch is
// drawn from an array of its own instead.
EM_JS(void, leaveBegin, (), {
    GLImmediate.mode = -1;
    GLImmediate.enabledClientAttributes = GLImmediate.enabledClientAttributes_preBegin;
    GLImmediate.clientAttributes = GLImmediate.clientAttributes_preBegin;
    GLImmediate.currentRenderer = null;
    GLImmediate.modifiedClientAttributes = true;
});

EM_JS(void, setDropRepeatedKeys, (int drop), { Module.dropRepeatedKeys = drop != 0; });

// WebGL has no quads or polygons: a batch of them goes to the emulation, which
// splits them into triangles.
void drawBatchByEmulation()
{
    const ClientArray& texCoord = batch.texCoord();
    const ClientArray& normal = batch.normal();
    const ClientArray& vertex = batch.vertex();
    const int floats = texCoord.size + (normal.pointer ? 3 : 0) + vertex.size;
    const GLsizei stride = GLsizei(floats * sizeof(float));
    const float* at = batch.data.data();
    if (texCoord.pointer) {
        glTexCoordPointer(texCoord.size, GL_FLOAT, stride, at);
        at += texCoord.size;
    }
    if (normal.pointer) {
        glNormalPointer(GL_FLOAT, stride, at);
        at += 3;
    }
    glVertexPointer(vertex.size, GL_FLOAT, stride, at);
    glDrawArrays(batch.mode, 0, GLsizei(batch.data.size() / size_t(floats)));
    // The caller's arrays back as they were.
    if (texCoord.pointer)
        glTexCoordPointer(texCoord.size, GL_FLOAT, texCoord.stride,
                          reinterpret_cast<void*>(texCoord.pointer));
    if (normal.pointer)
        glNormalPointer(GL_FLOAT, normal.stride, reinterpret_cast<void*>(normal.pointer));
    glVertexPointer(vertex.size, GL_FLOAT, vertex.stride, reinterpret_cast<void*>(vertex.pointer));
}

} // namespace

extern "C" {

// The emulation's own glBegin and glEnd: the link wraps them (--wrap, web/Web.cmake),
// so that a glBegin ... glEnd of glArrayElement calls becomes one draw call.
void __real_glBegin(GLenum mode);
void __real_glEnd();

void __wrap_glBegin(GLenum mode)
{
    batch.mode = mode;
    batch.data.clear();
    readClientArrays(batch.arrays);
    const ClientArray& vertex = batch.vertex();
    batch.open = vertex.pointer && (vertex.size == 2 || vertex.size == 3);
    __real_glBegin(mode);
}

void __wrap_glEnd()
{
    batch.open = false;
    if (batch.data.empty()) { // what glVertex and the like gave the emulation, if anything
        lit.release();
        __real_glEnd();
        return;
    }
    leaveBegin();
    if (batch.mode > GL_TRIANGLE_FAN) {
        lit.release();
        drawBatchByEmulation();
        return;
    }
    lit.drawArrays(batch.mode, batch.data, batch.texCoord().pointer ? batch.texCoord().size : 0,
                   batch.normal().pointer != 0, batch.vertex().size);
}

// The vertex of index i of the enabled float arrays, added to the batch (texture
// coordinate and normal first, the vertex last). Outside glBegin and glEnd, GL gives it
// no meaning.
void glArrayElement(GLint i)
{
    const ClientArray& texCoord = batch.texCoord();
    const ClientArray& normal = batch.normal();
    const ClientArray& vertex = batch.vertex();
    if (!batch.open)
        return;
    if (texCoord.pointer)
        batch.data.insert(batch.data.end(), element(texCoord, i),
                          element(texCoord, i) + texCoord.size);
    if (normal.pointer)
        batch.data.insert(batch.data.end(), element(normal, i), element(normal, i) + 3);
    batch.data.insert(batch.data.end(), element(vertex, i), element(vertex, i) + vertex.size);
}

void glMaterialf(GLenum face, GLenum pname, GLfloat param)
{
    glMaterialfv(face, pname, &param);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    LookAtMatrix(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ).apply();
}

// Every level of the chain GLU would build, loaded with packed rows; the caller's
// unpack alignment is read for its image and given back afterwards.
GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data)
{
    if (width < 1 || height < 1)
        return GLU_INVALID_VALUE;
    if (type != GL_UNSIGNED_BYTE)
        return GLU_INVALID_ENUM;
    int components = 0;
    switch (format) {
    case GL_RGB:
        components = 3;
        break;
    case GL_RGBA:
        components = 4;
        break;
    case GL_LUMINANCE_ALPHA:
        components = 2;
        break;
    case GL_LUMINANCE:
    case GL_ALPHA:
        components = 1;
        break;
    default:
        return GLU_INVALID_ENUM;
    }
    GLint alignment = 4, maxSize = 64;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const int packed = width * components;
    const int rowBytes = (packed + alignment - 1) / alignment * alignment;
    const MipmapChain chain(components, width, height, static_cast<const unsigned char*>(data),
                            rowBytes, maxSize);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLint level = 0;
    for (const MipmapChain::Level& l : chain.getLevels())
        glTexImage2D(target, level++, internalFormat, l.width, l.height, 0, format, type,
                     l.pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return 0;
}

void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks)
{
    lit.drawSphere(float(radius), slices, stacks);
}

// The page's input gate (app/InputGate.web.cpp) drops a held key's repeats when asked.
void glutIgnoreKeyRepeat(int ignore)
{
    setDropRepeatedKeys(ignore);
}

} // extern "C"
