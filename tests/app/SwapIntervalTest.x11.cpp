#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SwapInterval.h"
#include "support/GlRecorder.h"

// The first offered extension of three carries the request, once; names that merely
// begin like one of them, or no offer at all, leave the driver as it is.
TEST(SwapInterval, IsRequestedThroughTheFirstOfferedExtensionOnly)
{
    // The default screen of the display; the window's drawable.
    const std::string query = glRecorder::callLine("glXQueryExtensionsString", {0});
    const std::string ext =
        glRecorder::callLine("glXSwapIntervalEXT", {double(glRecorder::currentDrawable), 1});
    const struct {
        const char* extensions;
        std::vector<std::string> calls;
    } cases[] = {
        {"GLX_ARB_multisample GLX_SGI_swap_control GLX_MESA_swap_control GLX_EXT_swap_control",
         {query, ext}},
        {"GLX_SGI_swap_control GLX_MESA_swap_control", {query, "glXSwapIntervalMESA(1)"}},
        {"GLX_SGI_swap_control", {query, "glXSwapIntervalSGI(1)"}},
        {"GLX_EXT_swap_control_tear GLX_XMESA_swap_control GLX_SGI_swap_controls", {query}},
        {"", {query}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extensions);
        glRecorder::reset();
        glRecorder::offerGlxExtensions(c.extensions);
        requestSwapInterval();
        EXPECT_EQ(c.calls, glRecorder::callLines());
    }
}
