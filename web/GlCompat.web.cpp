// The parts of OpenGL 1.1, GLU and GLUT that the browser's emulation lacks or gets
// wrong, under their usual names, so that the scene calls them as on the desktop.

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <emscripten.h>

#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "app/InputGate.h"
#include "web/MipmapChain.h"
#include "web/SphereMesh.h"

namespace {

// Where the client arrays point, as the emulation keeps them. The emulation answers
// glGetPointerv only for the vertex, colour and texture-coordinate arrays, so the
// three are read from its own records, which it sets aside between glBegin and glEnd:
// pointer, components and stride in bytes of each; a null pointer when the array is
// not enabled.
EM_JS(void, readClientArrays, (int* out), {
    var inside = GLImmediate.mode >= 0;
    var arrays = inside ? GLImmediate.clientAttributes_preBegin : GLImmediate.clientAttributes;
    var enabled =
        inside ? GLImmediate.enabledClientAttributes_preBegin : GLImmediate.enabledClientAttributes;
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

const float* element(const int* array, int i)
{
    return reinterpret_cast<const float*>(array[0] + i * array[2]);
}

} // namespace

extern "C" {

// The vertex of index i of the enabled float arrays, as immediate-mode calls: its
// texture coordinate and normal first, the vertex last.
void glArrayElement(GLint i)
{
    int arrays[9];
    readClientArrays(arrays);
    const int* texCoord = arrays;
    const int* normal = arrays + 3;
    const int* vertex = arrays + 6;
    if (texCoord[0])
        glTexCoord2fv(element(texCoord, i));
    if (normal[0])
        glNormal3fv(element(normal, i));
    if (vertex[0] && vertex[1] == 3)
        glVertex3fv(element(vertex, i));
    else if (vertex[0] && vertex[1] == 2)
        glVertex2fv(element(vertex, i));
}

void glMaterialf(GLenum face, GLenum pname, GLfloat param)
{
    glMaterialfv(face, pname, &param);
}

// As GLU builds it: the axes of the eye in single precision, multiplied into the
// current matrix, then the eye moved to the origin.
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    float forward[3] = {float(centerX - eyeX), float(centerY - eyeY), float(centerZ - eyeZ)};
    float up[3] = {float(upX), float(upY), float(upZ)};
    auto normalize = [](float v[3]) {
        const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length == 0.0f)
            return;
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    };
    auto cross = [](const float a[3], const float b[3], float out[3]) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    normalize(forward);
    float side[3];
    cross(forward, up, side);
    normalize(side);
    cross(side, forward, up);
    const GLfloat m[16] = {side[0], up[0], -forward[0], 0.0f, side[1], up[1], -forward[1], 0.0f,
                           side[2], up[2], -forward[2], 0.0f, 0.0f,    0.0f,  0.0f,        1.0f};
    glMultMatrixf(m);
    glTranslated(-eyeX, -eyeY, -eyeZ);
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

// Built once for each size asked for, then drawn from the cache.
void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks)
{
    static std::map<std::tuple<float, int, int>, SphereMesh*> meshes;
    const auto key = std::make_tuple(float(radius), slices, stacks);
    auto found = meshes.find(key);
    if (found == meshes.end())
        found = meshes.emplace(key, new SphereMesh(float(radius), slices, stacks)).first;
    found->second->draw();
}

void glutIgnoreKeyRepeat(int ignore)
{
    InputGate::dropRepeatedKeys(ignore != 0);
}

} // extern "C"
