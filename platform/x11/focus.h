// Keyboard-focus watch on the program's window (internal to platform/).
#pragma once

// Start watching the current toolkit window for loss of keyboard focus.
void watchFocus();

// True once for every loss of keyboard focus since the last call. Takes in
// the letter keys' presses and releases on the way when they are read by keycode.
bool pollFocusLost();

// True if the letter keys are read by keycode on the watch connection, by
// their place under layouts without Latin letters; the toolkit's letter
// characters then count for nothing.
bool lettersByKeycode();

// What the window system says of one tracked key right now, whatever window
// has the keyboard; Unknown for other codes or with no connection.
enum class KeyReading { Unknown, Up, Down };
KeyReading readKeyOnKeyboard(int virtualKey);

// True if key events go to our window now: the focus is on it, or the focus
// follows the pointer and the pointer is over it.
bool haveKeyboardNow();

// Ask on the watch connection whether a window (an id of the window system)
// exists, as the watcher asks about other programs' windows: one that has
// gone, or never was, reads false and its error is absorbed.
bool watchSeesWindow(unsigned long window);
