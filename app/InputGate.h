#pragma once

// In the browser, GLUT hears the page's keys and mouse through listeners on the
// whole window. The gate stands in front of them: it drops the key-downs a held key
// repeats, when asked to, and while a message box is open on the page it keeps all
// keys and mouse events from the game and hands the keys to the box instead.
class InputGate {
public:
    // Repeated key-downs of a held key are dropped (true) or passed on (false).
    static void dropRepeatedKeys(bool drop);

    // Whether a message box holds the page's input; the game waits meanwhile.
    static bool held();

    // Puts the gate in front of GLUT's listeners, once; glutInit must have run.
    static void install();
};
