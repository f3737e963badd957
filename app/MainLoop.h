#pragma once

// Hands the program to the platform's event loop for the rest of its life. Each frame
// runs as many ticks of the game as the clock has made due (app/FramePacer.h), idle
// being one tick, and then draws with display. The keyboard, mouse and reshape
// callbacks are registered before.
void runMainLoop(void (*idle)(), void (*display)());
