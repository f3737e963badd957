#pragma once

#include <chrono>
#include <cstdint>

// Decides how many ticks of the game a frame runs, so that the game advances 60 ticks
// a second of the monotonic clock whatever the display's refresh rate. Each frame
// passes the time it begins; the debt of time not yet ticked carries over.
class FramePacer {
public:
    static constexpr int ticksPerSecond = 60;
    static constexpr int maxTicksPerFrame = 4;

    // The ticks to run in a frame that begins at now. The first frame runs one.
    int ticksFor(std::chrono::nanoseconds now);
    // How long after now the next frame will have a tick to run.
    std::chrono::nanoseconds untilNextTick(std::chrono::nanoseconds now) const;

private:
    bool started = false;
    std::chrono::nanoseconds last{};
    // The time not yet ticked, in nanoseconds times 60: one tick is exactly 1e9.
    int64_t debt = 0;
};
