// A probe preloaded (LD_PRELOAD) into a GLUT program by the frame benchmark: it
// wraps glutSwapBuffers, timestamps every completed swap, and after the number
// of frames in MARBLE_SWAP_FRAMES writes the log to the file named by
// MARBLE_SWAP_LOG and ends the process. The program itself is not changed.
// It wraps nanosleep too: the game sleeps until its next tick is due, and the
// time a frame costs is from the later of the last swap and the last wake-up.
//
// Log format: the first line is "renderer <GL_RENDERER>", then per swap its
// CLOCK_MONOTONIC time and the frame's cost, in nanoseconds.

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
long long frameCosts[maxFrames];
long frameCount = 0;
long long lastWake = 0;
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
        std::fprintf(log, "%lld %lld\n", swapTimes[i], frameCosts[i]);
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
    const long long now = nowNanoseconds();
    const long long begun = frameCount > 0 ? swapTimes[frameCount - 1] : now;
    frameCosts[frameCount] = now - (lastWake > begun ? lastWake : begun);
    swapTimes[frameCount++] = now;
    if (frameCount == 1)
        readRenderer();
    if (frameCount >= limit)
        writeLogAndExit();
}

extern "C" int nanosleep(const struct timespec* duration, struct timespec* left)
{
    using NanosleepFunction = int (*)(const struct timespec*, struct timespec*);
    static const auto realSleep =
        reinterpret_cast<NanosleepFunction>(dlsym(RTLD_NEXT, "nanosleep"));
    const int result = realSleep(duration, left);
    lastWake = nowNanoseconds();
    return result;
}
