#include "app/WindowIdentity.h"

// In the browser the page is the window: its title and icon are the page's.
void applyWindowIdentity()
{
}
