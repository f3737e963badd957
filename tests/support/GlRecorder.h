#pragma once

// A recording stand-in for OpenGL, GLU, GLUT and the few GLX calls the game
// makes, linked into the logic tests in place of the real libraries: every call the game makes is
// appended to a log that a test can read back in order.

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

// The GLX extensions the driver offers, a space-separated list; none after reset().
// Their entry points are recorded like any call.
void offerGlxExtensions(const std::string& extensions);
// What glXGetCurrentDrawable returns.
constexpr unsigned long currentDrawable = 42;

} // namespace glRecorder
