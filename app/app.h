// The application shell: start-up, the toolkit callbacks and the frame.
#pragma once

#include "platform/window_size.h"

// Menu entries, by the value the menu callback receives.
enum MenuEntry : int {
    MENU_LOCK_CAMERA = 1,
    MENU_MOUSE_CAMERA = 2,
    MENU_WIREFRAME = 3,
    MENU_VERTEX = 4,
    MENU_EXIT = 5,
};

// One entry of the right-button menu: its label, its value and, for the
// usage text, what it does.
struct MenuItem {
    const char* label;
    MenuEntry value;
    const char* action;
};

// The menu's entries, in menu order.
extern const MenuItem menuItems[5];

// The window's size at start on a desktop that draws at `dpi` dots per inch:
// 1280x720 at 96 (100 %), scaled by dpi / 96 and rounded to whole pixels. A
// DPI that is no number or lies outside 24 to 960 (25 % to 1000 %) counts as 96.
WindowSize windowSizeForDpi(double dpi);

// Open the window at the desktop's scale, register the callbacks, build the
// menu, set the render state once and set up the lights. Needs theCamera and
// theScene.
void initGraphics(int* argc, char** argv);

// The four-line start-up banner on standard output.
void printBanner();

// One tick: sleep 10 ms, move the free camera, exit on Escape, drive the tank,
// ask for a frame. A key tapped since the last tick acts as held for this one.
void onIdle();

// Draw one frame into the back buffer, then show it.
void onDisplay();

// Clear, view, light positions, scenery, tank, then the torus, which turns a
// further 0.1 degree per call.
void renderFrame();

// Viewport and projection fields for a window of width x height pixels.
void onReshape(int width, int height);

// Pointer motion without a button, window pixels (installed in mouse camera mode).
void onPassiveMotion(int x, int y);

// The pointer came into (GLUT_ENTERED) or left the window (installed in mouse
// camera mode): where it comes in is no motion to turn by, and once it has
// left, its last place is forgotten.
void onEntry(int state);

// The right-button menu: value is one of MenuEntry; others only redraw.
void onMenu(int value);
