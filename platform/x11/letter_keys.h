// Letter keys read by keycode on the watch connection, whatever the keyboard
// layout (internal to platform/).
#pragma once

#include <X11/Xlib.h>

// Read the keymap's letter keys on this connection and hear of every change to
// the keymap and to its active group from now on; false (and letters are left
// to the toolkit's characters) if the server cannot do so.
bool watchLetterKeys(Display* display);

// Take in an event that changes the keymap or its active group; false for
// any other event.
bool takeKeymapEvent(XEvent& event);

// A key went down or up on our window: hold or let go of the letter it stands
// for. A key is let go as the letter it was pressed as, even if the layout
// has changed since.
void takeLetterKeyEvent(const XKeyEvent& event);

// True if a key that stands for this letter ('A' .. 'Z') is down in the
// keyboard's state (XQueryKeymap's 32 bytes, one bit per keycode).
bool letterDownIn(const char keys[32], int letter);
