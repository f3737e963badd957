#pragma once

// A recording stand-in for OpenGL, GLU, GLUT and the few window-system calls the game
// makes, linked into the logic tests in place of the real libraries: every call the game makes is
// appended to a log that a test can read back in order. GlRecorder.cpp stands in for what every
// platform shares; GlRecorder.<platform>.cpp for the platform's own calls.

#include <initializer_list>
#include <string>
#include <vector>

struct GlCall {
    std::string name;
    std::vector<double> args;      // numbers, enums, and the floats behind vector arguments
    const void* pointer = nullptr; // the array argument, for client-array calls and uploads
};

namespace glRecorder {

// Clears the log and the texture names handed out.
void reset();
// Off: calls are no longer logged, so a benchmark can tick for long without the log growing. On by
// default.
void setRecording(bool on);
// Calls with the given name, in order.
std::vector<GlCall> callsNamed(const std::string& name);
// The log as "name(arg, ...)" lines, so that a mismatch in a test reads as a diff.
std::vector<std::string> callLines();
std::string callLine(const std::string& name, const std::vector<double>& args = {});

// For the stand-ins themselves: appends a call to the log, unless recording is off. The
// arguments come as a list so that nothing is allocated then.
void record(const char* name, std::initializer_list<double> args, const void* pointer = nullptr,
            const float* floats = nullptr, int floatCount = 0);
// A call whose arguments are all numbers.
template <typename... Args> void rec(const char* name, Args... args)
{
    record(name, {double(args)...});
}
// Forgets what the platform's stand-ins were told (in GlRecorder.<platform>.cpp).
void resetPlatform();

// X11: the GLX extensions the driver offers, a space-separated list; none after reset().
// Their entry points are recorded like any call.
void offerGlxExtensions(const std::string& extensions);
// X11: what glXGetCurrentDrawable returns.
constexpr unsigned long currentDrawable = 42;
// Windows: the extensions the driver lists through wglGetExtensionsStringARB and among
// the OpenGL extensions (glGetString), space-separated; none after reset(). Their entry
// points are recorded like any call.
void offerWglExtensions(const std::string& wgl, const std::string& gl);
// Windows: what wglGetCurrentDC returns.
constexpr unsigned long long currentDc = 43;

} // namespace glRecorder
