#include "app/FramePacer.h"

#include <algorithm>

namespace {

constexpr int64_t tick = 1000000000; // one tick of debt: 1/60 s, in ns times 60
// A tick is due a quarter of a tick early, and the earliness is carried as negative
// debt: a 60 Hz display whose frames jitter by up to a quarter of a tick runs exactly
// one tick each, and a display a little slower or faster keeps 60 a second on average.
constexpr int64_t early = tick / 4;
// A frame after a stall has at most this much debt: more would be dropped anyway.
constexpr int64_t longestFrameNs = 1000000000;

} // namespace

int FramePacer::ticksFor(std::chrono::nanoseconds now)
{
    if (!started) {
        started = true;
        last = now;
        return 1;
    }
    const int64_t elapsed = std::clamp<int64_t>((now - last).count(), 0, longestFrameNs);
    last = now;
    debt += elapsed * ticksPerSecond;
    const int64_t due = (debt + early) / tick;
    if (due > maxTicksPerFrame) {
        // Behind by more than a frame may catch up: the rest of the debt is dropped,
        // so that after a stall the game goes on at its pace instead of racing.
        debt = 0;
        return maxTicksPerFrame;
    }
    debt -= due * tick;
    return static_cast<int>(due);
}

std::chrono::nanoseconds FramePacer::untilNextTick(std::chrono::nanoseconds now) const
{
    if (!started)
        return {};
    const int64_t elapsed = std::clamp<int64_t>((now - last).count(), 0, longestFrameNs);
    const int64_t owed = debt + elapsed * ticksPerSecond;
    const int64_t left = std::max<int64_t>(tick - early - owed, 0);
    return std::chrono::nanoseconds((left + ticksPerSecond - 1) / ticksPerSecond);
}
