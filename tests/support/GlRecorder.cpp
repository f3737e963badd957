#include "support/GlRecorder.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <initializer_list>
#include <sstream>

namespace {

std::vector<GlCall> log;
GLuint nextTexture = 1;
bool recording = true;

using glRecorder::rec;
using glRecorder::record;

// How many floats a glLightfv / glMaterialfv parameter carries.
int paramCount(GLenum pname)
{
    return pname == GL_SHININESS ? 1 : 4;
}

} // namespace

namespace glRecorder {

void record(const char* name, std::initializer_list<double> args, const void* pointer,
            const float* floats, int floatCount)
{
    if (!recording)
        return;
    GlCall call{name, args, pointer};
    call.args.insert(call.args.end(), floats, floats + floatCount);
    log.push_back(std::move(call));
}

void reset()
{
    log.clear();
    nextTexture = 1;
    resetPlatform();
}

void setRecording(bool on)
{
    recording = on;
}

std::vector<GlCall> callsNamed(const std::string& name)
{
    std::vector<GlCall> out;
    std::copy_if(log.begin(), log.end(), std::back_inserter(out),
                 [&](const GlCall& c) { return c.name == name; });
    return out;
}

std::string callLine(const std::string& name, const std::vector<double>& args)
{
    std::ostringstream line;
    line << name << "(";
    for (size_t i = 0; i < args.size(); ++i)
        line << (i ? ", " : "") << args[i];
    line << ")";
    return line.str();
}

std::vector<std::string> callLines()
{
    std::vector<std::string> out;
    out.reserve(log.size());
    for (const GlCall& c : log)
        out.push_back(callLine(c.name, c.args));
    return out;
}

} // namespace glRecorder

extern "C" {

// One line a call, read as a table.
// clang-format off
void glClear(GLbitfield mask) { rec("glClear", mask); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    rec("glClearColor", r, g, b, a);
}
void glEnable(GLenum cap) { rec("glEnable", cap); }
void glDisable(GLenum cap) { rec("glDisable", cap); }
void glShadeModel(GLenum mode) { rec("glShadeModel", mode); }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { rec("glViewport", x, y, w, h); }
void glMatrixMode(GLenum mode) { rec("glMatrixMode", mode); }
void glLoadIdentity(void) { rec("glLoadIdentity"); }
void glPushMatrix(void) { rec("glPushMatrix"); }
void glPopMatrix(void) { rec("glPopMatrix"); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { rec("glTranslatef", x, y, z); }
void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    record("glLightfv", {double(light), double(pname)}, params, params, paramCount(pname));
}
void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
    record("glMaterialfv", {double(face), double(pname)}, params, params, paramCount(pname));
}
void glGenTextures(GLsizei n, GLuint* textures) {
    for (GLsizei i = 0; i < n; ++i)
        textures[i] = nextTexture++;
    record("glGenTextures", {double(n)}, textures);
}
void glBindTexture(GLenum target, GLuint texture) { rec("glBindTexture", target, texture); }
void glPixelStorei(GLenum pname, GLint param) { rec("glPixelStorei", pname, param); }
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
    GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    record("glTexImage2D", {double(target), double(level), double(internalFormat), double(width),
        double(height), double(border), double(format), double(type)}, pixels);
}
void glTexParameteri(GLenum t, GLenum name, GLint param) { rec("glTexParameteri", t, name, param); }
void glTexEnvi(GLenum t, GLenum pname, GLint param) { rec("glTexEnvi", t, pname, param); }
void glEnableClientState(GLenum cap) { rec("glEnableClientState", cap); }
void glDisableClientState(GLenum cap) { rec("glDisableClientState", cap); }
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    record("glVertexPointer", {double(size), double(type), double(stride)}, ptr);
}
void glNormalPointer(GLenum type, GLsizei stride, const GLvoid* ptr) {
    record("glNormalPointer", {double(type), double(stride)}, ptr);
}
void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    record("glTexCoordPointer", {double(size), double(type), double(stride)}, ptr);
}
void glBegin(GLenum mode) { rec("glBegin", mode); }
void glEnd(void) { rec("glEnd"); }
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
    record("glDrawElements", {double(mode), double(count), double(type)}, indices);
}
void glMultMatrixf(const GLfloat* m) { record("glMultMatrixf", {}, nullptr, m, 16); }
void glTranslated(GLdouble x, GLdouble y, GLdouble z) { rec("glTranslated", x, y, z); }
void glArrayElement(GLint i) { rec("glArrayElement", i); }
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
    GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    rec("gluLookAt", eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    rec("gluPerspective", fovy, aspect, zNear, zFar);
}
GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
    GLenum format, GLenum type, const void* data) {
    record("gluBuild2DMipmaps", {double(target), double(internalFormat), double(width),
        double(height), double(format), double(type)}, data);
    return 0;
}
void glutSolidSphere(double r, GLint sl, GLint st) { rec("glutSolidSphere", r, sl, st); }
void glutSwapBuffers(void) { rec("glutSwapBuffers"); }
void glutPostRedisplay(void) { rec("glutPostRedisplay"); }
// clang-format on

} // extern "C"
