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

// A key went down (up) on the keyboard or on the page's touch controls: held
// until it goes up, and counted at the next tick even if it goes up before.
void controlKeyDown(int virtualKey);
void controlKeyUp(int virtualKey);

// A left press on the picture that the menu did not take: in mouse camera
// mode it locks the pointer again.
void pictureClicked();

// The menu opened (it gives a locked pointer back while it is open) or closed
// (the pointer is locked again if the mouse camera is still chosen).
void menuOpened();
void menuClosed();
// True while the menu holds a lock it was given back.
bool lockLentToMenu();

// Open the menu at (x, y) page pixels, for a finger; a tap there picks an
// entry or, off the menu, closes it.
void openMenuAt(double x, double y);
void tapMenu(double x, double y);

// A finger dragged over the picture by (dx, dy) page pixels: in mouse camera
// mode the view turns by it.
void fingerDragged(double dx, double dy);

// Fit the picture to the browser window and its device pixel ratio again.
void refitPicture();

// Start handling touches: the controls over the picture, a finger's drag and
// long press on it. Call once, after the window exists.
void watchTouch();

// True once the page has been touched (or its main pointer is coarse): the
// touch controls show, and the mouse camera asks for no pointer lock.
bool touchInUse();
