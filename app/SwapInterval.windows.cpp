#include "app/SwapInterval.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstring>

namespace {

using GetExtensionsStringArb = const char*(WINAPI*)(HDC);
using GetExtensionsStringExt = const char*(WINAPI*)();
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

// The WGL extensions of the current context's driver: through WGL_ARB_extensions_string,
// else WGL_EXT_extensions_string. Older drivers list WGL_EXT_swap_control among the
// OpenGL extensions instead.
bool offersSwapControl()
{
    const char* name = "WGL_EXT_swap_control";
    if (const auto arb = entryPoint<GetExtensionsStringArb>("wglGetExtensionsStringARB")) {
        if (offers(arb(wglGetCurrentDC()), name))
            return true;
    } else if (const auto ext = entryPoint<GetExtensionsStringExt>("wglGetExtensionsStringEXT")) {
        if (offers(ext(), name))
            return true;
    }
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
