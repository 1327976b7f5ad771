// What key events from the X server do to the key state (internal to
// platform/x11/): the toolkit's key callbacks and the letters read by keycode
// both feed it.
#pragma once

// A key went down on the keyboard: held until it goes up, and, unless it was
// held already (an auto-repeat), counted at the next tick even if it goes up
// before.
void keyWentDown(int virtualKey);

// A key went up on the keyboard.
void keyWentUp(int virtualKey);
