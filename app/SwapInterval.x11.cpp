#include "app/SwapInterval.h"

#include <GL/glx.h>
#include <GL/glxext.h>

#include <cstring>

namespace {

// Whether the space-separated list names the extension itself, not merely a longer
// name that begins with it (GLX_EXT_swap_control_tear).
bool offers(const char* extensions, const char* name)
{
    const size_t length = std::strlen(name);
    for (const char* p = extensions; (p = std::strstr(p, name)) != nullptr; p += length) {
        const bool starts = p == extensions || p[-1] == ' ';
        const bool ends = p[length] == ' ' || p[length] == '\0';
        if (starts && ends)
            return true;
    }
    return false;
}

// An extension's entry point, once the driver has said it offers the extension: GLX
// hands out an address for any name, offered or not.
template <typename Function>
Function entryPoint(const char* extensions, const char* extension, const char* name)
{
    if (!offers(extensions, extension))
        return nullptr;
    return reinterpret_cast<Function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

} // namespace

void requestSwapInterval()
{
    Display* display = glXGetCurrentDisplay();
    if (!display)
        return;
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (!extensions)
        return;
    if (const auto ext = entryPoint<PFNGLXSWAPINTERVALEXTPROC>(extensions, "GLX_EXT_swap_control",
                                                               "glXSwapIntervalEXT")) {
        ext(display, glXGetCurrentDrawable(), 1);
    } else if (const auto mesa = entryPoint<PFNGLXSWAPINTERVALMESAPROC>(
                   extensions, "GLX_MESA_swap_control", "glXSwapIntervalMESA")) {
        mesa(1);
    } else if (const auto sgi = entryPoint<PFNGLXSWAPINTERVALSGIPROC>(
                   extensions, "GLX_SGI_swap_control", "glXSwapIntervalSGI")) {
        sgi(1);
    }
}
