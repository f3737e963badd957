#include "app/MainLoop.h"

#include <GL/freeglut.h>

#include <chrono>
#include <thread>

#include "app/FramePacer.h"

namespace {

void (*tick)() = nullptr;
FramePacer pacer;

// GLUT calls this whenever no event is pending. Each tick asks for a redisplay, and
// the buffer swap, held to the display's refresh where the driver waits for it,
// paces the frames; where it does not, or on a display faster than the game, the
// loop sleeps until the next tick is due instead of drawing the same picture again.
void frame()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const int ticks = pacer.ticksFor(now);
    if (ticks == 0) {
        std::this_thread::sleep_for(pacer.untilNextTick(now));
        return;
    }
    for (int i = 0; i < ticks; ++i)
        tick();
}

} // namespace

void runMainLoop(void (*idle)(), void (*)())
{
    tick = idle;
    glutIdleFunc(frame);
    glutMainLoop();
}
