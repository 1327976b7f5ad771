// The virtual key a browser key event stands for (internal to platform/).
#pragma once

// The virtual-key code for a key event's `key` (what the key gives under the
// active layout, UTF-8) and `code` (its place on a US keyboard), or 0 for a
// key the program does not track. A letter counts by its label where the
// layout gives a Latin letter (AZERTY, QWERTZ, Dvorak), by its US place where
// it gives another script's letter (Russian, Greek, Hebrew); a key that gives
// a digit or punctuation is no letter, whatever its place. A key an input
// method takes ("Process") or the browser cannot name ("Unidentified") counts
// by its place. Right Shift is told from the left one by its place.
int virtualKeyOfEvent(const char* key, const char* code);
