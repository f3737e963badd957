#include "app/FocusWatch.h"

#include <emscripten/html5.h>

// The page's window losing the focus (another tab, another program) is the loss.
struct FocusWatch::Watch {
    bool blurred;
};

namespace {

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void* watch)
{
    static_cast<FocusWatch::Watch*>(watch)->blurred = true;
    return EM_FALSE;
}

} // namespace

FocusWatch::FocusWatch() : watch(new Watch{false})
{
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, watch.get(), EM_FALSE, onBlur);
}

FocusWatch::~FocusWatch()
{
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
}

bool FocusWatch::lost()
{
    const bool was = watch->blurred;
    watch->blurred = false;
    return was;
}

// The page hears of the blur in order with its key events.
bool FocusWatch::stale(unsigned char)
{
    return false;
}
