#include "app/FocusWatch.h"

#include <emscripten/html5.h>

namespace {

bool blurred = false;

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void*)
{
    blurred = true;
    return EM_FALSE;
}

} // namespace

// The page's window losing the focus (another tab, another program) is the loss.
FocusWatch::FocusWatch()
{
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onBlur);
}

bool FocusWatch::lost()
{
    const bool was = blurred;
    blurred = false;
    return was;
}

// The page hears of the blur in order with its key events.
bool FocusWatch::stale(unsigned char)
{
    return false;
}
