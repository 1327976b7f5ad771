// Keyboard-focus watch on the program's window (internal to platform/).
#pragma once

// Start watching the current toolkit window for loss of keyboard focus.
void watchFocus();

// True once for every loss of keyboard focus since the last call.
bool pollFocusLost();
