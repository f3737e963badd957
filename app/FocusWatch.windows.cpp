#include "app/FocusWatch.h"

#include <windows.h>

namespace {

// The game window's own procedure, which every message still reaches.
WNDPROC gameProcedure = nullptr;
bool focusLost = false;

LRESULT CALLBACK watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KILLFOCUS)
        focusLost = true;
    return CallWindowProcA(gameProcedure, window, message, wParam, lParam);
}

} // namespace

// The current GLUT window is the one whose device context the current GL context
// draws to. Its procedure is wrapped by one that notes WM_KILLFOCUS and hands every
// message on.
FocusWatch::FocusWatch()
{
    const HWND window = WindowFromDC(wglGetCurrentDC());
    if (!window || gameProcedure)
        return;
    gameProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watch)));
}

bool FocusWatch::lost()
{
    const bool was = focusLost;
    focusLost = false;
    return was;
}

// The focus messages come in one queue with the keys, in order: no press comes after
// the loss that should have let go of it.
bool FocusWatch::stale(unsigned char)
{
    return false;
}
