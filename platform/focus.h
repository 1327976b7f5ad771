// Keyboard-focus watch on the program's window (internal to platform/).
#pragma once

// Start watching the current toolkit window for loss of keyboard focus.
void watchFocus();

// True once for every loss of keyboard focus since the last call.
bool pollFocusLost();

// What the window system says of one tracked key right now, whatever window
// has the keyboard; Unknown for other codes or with no connection.
enum class KeyReading { Unknown, Up, Down };
KeyReading readKeyOnKeyboard(int virtualKey);

// True if key events go to our window now: the focus is on it, or the focus
// follows the pointer and the pointer is over it.
bool haveKeyboardNow();
