// What the browser platform's parts tell one another (internal to platform/).
#pragma once

// The page element the picture is drawn on, as the browser's event API names it.
constexpr char CANVAS_SELECTOR[] = "#canvas";

// True if Escape went down while the right-button menu was open: it closed
// the menu and is not a key the program sees.
bool menuTakesEscape();

// True if an Escape now belongs to Pointer Lock: the pointer is locked, or
// was until a moment ago (the browser gives Escape to unlocking first).
bool escapeBelongsToPointerLock();

// A left press on the picture that the menu did not take: in mouse camera
// mode it locks the pointer again.
void pictureClicked();
