#include "app/SwapInterval.h"

#include <GL/glx.h>
#include <GL/glxext.h>

namespace {

// An extension's entry point, once the driver has said it offers the extension: GLX
// hands out an address for any name, offered or not.
template <typename Function>
Function entryPoint(const char* extensions, const char* extension, const char* name)
{
    if (!offersExtension(extensions, extension))
        return nullptr;
    return reinterpret_cast<Function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

} // namespace

// Through the first of GLX_EXT_swap_control, GLX_MESA_swap_control and
// GLX_SGI_swap_control the driver offers.
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
