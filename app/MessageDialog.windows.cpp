#include "app/MessageDialog.h"

#include <windows.h>

#include <string>

// The system's own message box, with one OK button. Its owner is the window that has
// the keyboard focus, the game's as a rule: the box stays in front of it, and the
// game's window takes no input until the box is dismissed. With no window focused the
// box has no owner.
void showMessageDialog(const char* caption, const char* text)
{
    std::string shown = text;
    while (!shown.empty() && shown.back() == '\n')
        shown.pop_back();
    MessageBoxA(GetFocus(), shown.c_str(), caption, MB_OK | MB_ICONERROR);
}
