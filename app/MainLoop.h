#pragma once

// Hands the program to the platform's event loop for the rest of its life: each
// frame calls idle, which advances the game by one tick, and then draws with
// display. The keyboard, mouse and reshape callbacks are registered before.
void runMainLoop(void (*idle)(), void (*display)());
