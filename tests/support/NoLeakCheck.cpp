// Linked into the test programs that create a GL context. Mesa, X11 and freeglut
// keep allocations to the end of the process and free them, or not, as their
// versions and timing decide; once the driver is unloaded at exit its blocks
// have no module name a suppression could match. So these processes are not
// judged on leaks: every other sanitizer check stays on, and the display-free
// tests and the fuzzer keep the leak check.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the sanitizer runtime looks up this name
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}
