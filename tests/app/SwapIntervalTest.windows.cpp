#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "app/SwapInterval.h"
#include "support/GlRecorder.h"

// WGL_EXT_swap_control carries the request, once, whether the driver lists it among
// its WGL extensions or, as older ones do, among the OpenGL ones. Names that merely
// begin like it, or no offer at all, leave the driver as it is.
TEST(SwapInterval, IsRequestedWhereTheDriverOffersWglSwapControl)
{
    const std::string wgl =
        glRecorder::callLine("wglGetExtensionsStringARB", {double(glRecorder::currentDc)});
    const std::string gl = glRecorder::callLine("glGetString", {GL_EXTENSIONS});
    const std::string swap = "wglSwapIntervalEXT(1)";
    const struct {
        const char* wgl;
        const char* gl;
        std::vector<std::string> calls;
    } cases[] = {
        {"WGL_ARB_extensions_string WGL_EXT_swap_control", "", {wgl, swap}},
        {"WGL_ARB_pixel_format", "GL_ARB_multitexture WGL_EXT_swap_control", {wgl, gl, swap}},
        {"WGL_EXT_swap_control_tear WGL_XEXT_swap_control", "WGL_EXT_swap_controls", {wgl, gl}},
        {"", "", {wgl, gl}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wgl);
        glRecorder::reset();
        glRecorder::offerWglExtensions(c.wgl, c.gl);
        requestSwapInterval();
        EXPECT_EQ(c.calls, glRecorder::callLines());
    }
}
