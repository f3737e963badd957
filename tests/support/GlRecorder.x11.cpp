// The recording double's GLX calls: what the swap-interval request asks of the driver.
#include "support/GlRecorder.h"

#include <GL/glx.h>
#include <GL/glxext.h>

#include <type_traits>

namespace {

using glRecorder::rec;

std::string glxExtensions;
// A display whose fields are all zero, the default screen among them.
std::remove_pointer_t<_XPrivDisplay> glxDisplay{};

// clang-format off
void swapIntervalExt(Display*, GLXDrawable d, int i) { rec("glXSwapIntervalEXT", d, i); }
int swapIntervalMesa(unsigned i) { rec("glXSwapIntervalMESA", i); return 0; }
int swapIntervalSgi(int i) { rec("glXSwapIntervalSGI", i); return 0; }
// clang-format on

} // namespace

namespace glRecorder {

void resetPlatform()
{
    glxExtensions.clear();
}

void offerGlxExtensions(const std::string& extensions)
{
    glxExtensions = extensions;
}

} // namespace glRecorder

extern "C" {

// clang-format off
Display* glXGetCurrentDisplay(void) { return reinterpret_cast<Display*>(&glxDisplay); }
GLXDrawable glXGetCurrentDrawable(void) { return glRecorder::currentDrawable; }
const char* glXQueryExtensionsString(Display*, int screen) {
    rec("glXQueryExtensionsString", screen);
    return glxExtensions.c_str();
}
// Like a real driver, hands out an address for an entry point whether or not its
// extension is offered.
__GLXextFuncPtr glXGetProcAddressARB(const GLubyte* name) {
    const std::string entry = reinterpret_cast<const char*>(name);
    return entry == "glXSwapIntervalEXT"    ? reinterpret_cast<__GLXextFuncPtr>(swapIntervalExt)
           : entry == "glXSwapIntervalMESA" ? reinterpret_cast<__GLXextFuncPtr>(swapIntervalMesa)
           : entry == "glXSwapIntervalSGI"  ? reinterpret_cast<__GLXextFuncPtr>(swapIntervalSgi)
                                            : nullptr;
}
// clang-format on

} // extern "C"
