#include "app/FocusWatch.h"

#include <windows.h>

// The current GLUT window is the one whose device context the current GL context
// draws to. Its procedure is wrapped by one that notes WM_KILLFOCUS and hands every
// message on; the window carries the watch as a property, where the wrapper finds it.
struct FocusWatch::Watch {
    HWND window;
    WNDPROC gameProcedure; // the window's own, which every message still reaches
    bool lost;
};

namespace {

const char watchProperty[] = "marble.FocusWatch";

LRESULT CALLBACK watchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* watch = static_cast<FocusWatch::Watch*>(GetPropA(window, watchProperty));
    if (message == WM_KILLFOCUS)
        watch->lost = true;
    return CallWindowProcA(watch->gameProcedure, window, message, wParam, lParam);
}

} // namespace

FocusWatch::FocusWatch() : watch(new Watch{WindowFromDC(wglGetCurrentDC()), nullptr, false})
{
    if (!watch->window || !SetPropA(watch->window, watchProperty, watch.get()))
        return;
    watch->gameProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(watch->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchProcedure)));
}

// The window's own procedure back, where the window is still there.
FocusWatch::~FocusWatch()
{
    if (!watch->gameProcedure)
        return;
    SetWindowLongPtrA(watch->window, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(watch->gameProcedure));
    RemovePropA(watch->window, watchProperty);
}

bool FocusWatch::lost()
{
    const bool was = watch->lost;
    watch->lost = false;
    return was;
}

// The focus messages come in one queue with the keys, in order: no press comes after
// the loss that should have let go of it.
bool FocusWatch::stale(unsigned char)
{
    return false;
}
