// The recording double's WGL calls: what the swap-interval request asks of the driver.
#include "support/GlRecorder.h"

#include <windows.h>

#include <GL/gl.h>

namespace {

using glRecorder::rec;

std::string wglExtensions;
std::string glExtensions;
HDC dcDrawnTo = nullptr;

// clang-format off
const char* WINAPI getExtensionsStringArb(HDC dc) {
    rec("wglGetExtensionsStringARB", reinterpret_cast<uintptr_t>(dc));
    return wglExtensions.c_str();
}
BOOL WINAPI swapIntervalExt(int i) { rec("wglSwapIntervalEXT", i); return TRUE; }
// clang-format on

} // namespace

namespace glRecorder {

void resetPlatform()
{
    wglExtensions.clear();
    glExtensions.clear();
    dcDrawnTo = nullptr;
}

void drawToDc(void* dc)
{
    dcDrawnTo = static_cast<HDC>(dc);
}

void offerWglExtensions(const std::string& wgl, const std::string& gl)
{
    wglExtensions = wgl;
    glExtensions = gl;
}

} // namespace glRecorder

extern "C" {

// clang-format off
HGLRC WINAPI wglGetCurrentContext(void) { return reinterpret_cast<HGLRC>(uintptr_t{7}); }
HDC WINAPI wglGetCurrentDC(void) {
    return dcDrawnTo ? dcDrawnTo : reinterpret_cast<HDC>(glRecorder::currentDc);
}
const GLubyte* WINAPI glGetString(GLenum name) {
    rec("glGetString", name);
    return reinterpret_cast<const GLubyte*>(name == GL_EXTENSIONS ? glExtensions.c_str() : "");
}
// Like a real driver, hands out an address for an entry point whether or not its
// extension is offered.
PROC WINAPI wglGetProcAddress(LPCSTR name) {
    const std::string entry = name;
    return entry == "wglGetExtensionsStringARB" ? reinterpret_cast<PROC>(reinterpret_cast<void*>(getExtensionsStringArb))
           : entry == "wglSwapIntervalEXT"      ? reinterpret_cast<PROC>(reinterpret_cast<void*>(swapIntervalExt))
                                                : nullptr;
}
// clang-format on

// The game's code calls every GL and WGL function through its import pointer,
// __imp_<name>, which opengl32.dll's import library would hold: here each points at
// the stand-in instead.
#define IMPORT_POINTER(name) decltype(&name) __imp_##name = &name;
IMPORT_POINTER(glClear)
IMPORT_POINTER(glClearColor)
IMPORT_POINTER(glEnable)
IMPORT_POINTER(glDisable)
IMPORT_POINTER(glShadeModel)
IMPORT_POINTER(glViewport)
IMPORT_POINTER(glMatrixMode)
IMPORT_POINTER(glLoadIdentity)
IMPORT_POINTER(glPushMatrix)
IMPORT_POINTER(glPopMatrix)
IMPORT_POINTER(glTranslatef)
IMPORT_POINTER(glLightfv)
IMPORT_POINTER(glMaterialfv)
IMPORT_POINTER(glGenTextures)
IMPORT_POINTER(glBindTexture)
IMPORT_POINTER(glPixelStorei)
IMPORT_POINTER(glTexImage2D)
IMPORT_POINTER(glTexParameteri)
IMPORT_POINTER(glTexEnvi)
IMPORT_POINTER(glEnableClientState)
IMPORT_POINTER(glDisableClientState)
IMPORT_POINTER(glVertexPointer)
IMPORT_POINTER(glNormalPointer)
IMPORT_POINTER(glTexCoordPointer)
IMPORT_POINTER(glBegin)
IMPORT_POINTER(glEnd)
IMPORT_POINTER(glArrayElement)
IMPORT_POINTER(glDrawElements)
IMPORT_POINTER(glMultMatrixf)
IMPORT_POINTER(glTranslated)
IMPORT_POINTER(glGetString)
IMPORT_POINTER(wglGetCurrentContext)
IMPORT_POINTER(wglGetCurrentDC)
IMPORT_POINTER(wglGetProcAddress)

} // extern "C"
