#pragma once

// Tells the desktop whose window this is, so that docks, taskbars and task switchers
// can match it to the game's menu entry and show the game's icon. The window's title
// stays the command the game was started with. Marks the current GLUT window.
void applyWindowIdentity();
