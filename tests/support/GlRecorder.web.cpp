// The recording double in the browser build: the browser has no window-system calls
// to record (the page's animation frame paces the game).
#include "support/GlRecorder.h"

namespace glRecorder {

void resetPlatform()
{
}

} // namespace glRecorder
