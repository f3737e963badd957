#include "app/SwapInterval.h"

#include <windows.h>

#include <GL/gl.h>

namespace {

using GetExtensionsStringArb = const char*(WINAPI*)(HDC);
using SwapIntervalExt = BOOL(WINAPI*)(int);

template <typename Function> Function entryPoint(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(wglGetProcAddress(name)));
}

// The WGL extensions of the current context's driver (WGL_ARB_extensions_string).
// Older drivers list WGL_EXT_swap_control among the OpenGL extensions instead.
bool offersSwapControl()
{
    const char* name = "WGL_EXT_swap_control";
    const auto wglExtensions = entryPoint<GetExtensionsStringArb>("wglGetExtensionsStringARB");
    if (wglExtensions && offersExtension(wglExtensions(wglGetCurrentDC()), name))
        return true;
    return offersExtension(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

} // namespace

// Through WGL_EXT_swap_control.
void requestSwapInterval()
{
    if (!wglGetCurrentContext() || !offersSwapControl())
        return;
    if (const auto swapInterval = entryPoint<SwapIntervalExt>("wglSwapIntervalEXT"))
        swapInterval(1);
}
