#pragma once

// A modal message box: the caption as its title, the text and one OK button. Closing it
// never ends the program. Returns once the box has been dismissed and is gone; in a
// browser, which cannot wait inside a call, once it is shown, the game taking no input
// and no ticks until it is dismissed.
void showMessageDialog(const char* caption, const char* text);
