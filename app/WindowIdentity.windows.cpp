#include "app/WindowIdentity.h"

// A Windows program's taskbar button is grouped by its executable and shows the
// icon of its resources: nothing to add to the window.
void applyWindowIdentity()
{
}
