#include "app/SwapInterval.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstring>

namespace {

using GetExtensionsStringArb = const char*(WINAPI*)(HDC);
using SwapIntervalExt = BOOL(WINAPI*)(int);

// Whether the space-separated list names the extension itself, not merely a longer
// name that begins with it (WGL_EXT_swap_control_tear).
bool offers(const char* extensions, const char* name)
{
    if (!extensions)
        return false;
    const size_t length = std::strlen(name);
    for (const char* p = extensions; (p = std::strstr(p, name)) != nullptr; p += length) {
        const bool starts = p == extensions || p[-1] == ' ';
        const bool ends = p[length] == ' ' || p[length] == '\0';
        if (starts && ends)
            return true;
    }
    return false;
}

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
    if (wglExtensions && offers(wglExtensions(wglGetCurrentDC()), name))
        return true;
    return offers(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

} // namespace

void requestSwapInterval()
{
    if (!wglGetCurrentContext() || !offersSwapControl())
        return;
    if (const auto swapInterval = entryPoint<SwapIntervalExt>("wglSwapIntervalEXT"))
        swapInterval(1);
}
