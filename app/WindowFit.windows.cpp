#include "app/WindowFit.h"

#include <windows.h>

// The work area of the monitor that holds the window's corner, (0, 0), less the frame
// Windows puts around a window of freeglut's style.
WindowSize fitToScreen(WindowSize wanted)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return wanted;
    RECT frame = {0, 0, 0, 0};
    if (!AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, FALSE,
                            0))
        return wanted;
    const RECT& work = monitor.rcWork;
    return fitInside(wanted, {(work.right - work.left) - (frame.right - frame.left),
                              (work.bottom - work.top) - (frame.bottom - frame.top)});
}
