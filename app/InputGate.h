#pragma once

// In the browser, GLUT hears the page's keys and mouse through listeners on the
// whole window. The gate stands in front of them: it drops the key-downs a held key
// repeats (glutIgnoreKeyRepeat), while a message box is open on the page it keeps all
// keys and mouse events from the game and hands the keys to the box instead, and once
// the game has ended it passes nothing on. The page's touch controls come through it too.
class InputGate {
public:
    // Whether a message box holds the page's input; the game waits meanwhile.
    static bool held();

    // Puts the gate in front of GLUT's listeners, once; glutInit must have run.
    static void install();
};
