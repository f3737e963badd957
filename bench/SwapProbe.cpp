// A probe preloaded (LD_PRELOAD) into a GLUT program by the frame benchmark: it
// wraps glutSwapBuffers, timestamps every completed swap, and after the number
// of frames in MARBLE_SWAP_FRAMES writes the log to the file named by
// MARBLE_SWAP_LOG and ends the process. The program itself is not changed.
//
// Log format: the first line is "renderer <GL_RENDERER>", then one
// CLOCK_MONOTONIC time in nanoseconds per swap.

#include <GL/gl.h>
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

using SwapBuffersFunction = void (*)();
using GetStringFunction = const GLubyte* (*)(GLenum);

const long maxFrames = 100000;
long long swapTimes[maxFrames];
long frameCount = 0;
char renderer[256] = "unknown";

long long nowNanoseconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

long frameLimit()
{
    const char* text = std::getenv("MARBLE_SWAP_FRAMES");
    const long frames = text ? std::atol(text) : 0;
    return frames > 0 && frames <= maxFrames ? frames : maxFrames;
}

// Asked once, after the first swap, so the query costs no measured frame time.
void readRenderer()
{
    auto getString = reinterpret_cast<GetStringFunction>(dlsym(RTLD_DEFAULT, "glGetString"));
    const GLubyte* name = getString ? getString(GL_RENDERER) : nullptr;
    if (name)
        std::snprintf(renderer, sizeof renderer, "%s", reinterpret_cast<const char*>(name));
}

[[noreturn]] void writeLogAndExit()
{
    const char* path = std::getenv("MARBLE_SWAP_LOG");
    FILE* log = path ? std::fopen(path, "w") : nullptr;
    if (!log) {
        std::fprintf(stderr, "swap probe: cannot write the log (set MARBLE_SWAP_LOG)\n");
        _exit(3);
    }
    std::fprintf(log, "renderer %s\n", renderer);
    for (long i = 0; i < frameCount; ++i)
        std::fprintf(log, "%lld\n", swapTimes[i]);
    std::fclose(log);
    // Straight out: GLUT's and Mesa's exit handlers are not what is measured.
    _exit(0);
}

} // namespace

extern "C" void glutSwapBuffers(void)
{
    static const auto realSwap =
        reinterpret_cast<SwapBuffersFunction>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    static const long limit = frameLimit();
    realSwap();
    swapTimes[frameCount++] = nowNanoseconds();
    if (frameCount == 1)
        readRenderer();
    if (frameCount >= limit)
        writeLogAndExit();
}
