// Where mouse look measures each pointer motion from, and where it sends the
// pointer back to. Sending the pointer home (a warp) moves the pointer for
// good only where the pointer is driven by relative motion: a mouse on X11 or
// Windows, or a Wayland compositor that makes the warp real. An absolute
// device (a VNC or remote-desktop viewer, a virtual machine's tablet or mouse
// integration, a pen) sends its next motion from where it is itself, and some
// compositors never make the warp real. So at every entry (mouse look begun,
// or the pointer come into the window) the first warp finds out which: the
// motion after it lies near the warp's target if the warp held, near the last
// position if not. Motions measured from a home the pointer never reached
// would spin the view away.
#pragma once

#include "app/window_size.h"

// A pointer position in window pixels, y down.
struct Pixel {
    int x;
    int y;
};

// Where the pointer stands, as mouse look has seen it between motions.
enum class PointerPhase {
    Home,     // warps hold: every motion measures from home and the pointer is sent back there
    Relative, // warps do not hold: every motion measures from `last`, the one before
    Away,     // the pointer's place is unknown (outside the window): the next motion turns nothing
    Entered,  // the pointer is at `last`, no warp sent yet: the next motion measures from there
    Probing,  // the entry warp to `target` is sent, its own motion not yet seen
    Echoed,   // the entry warp's own motion came in: the next motion tells whether warps hold
};

// The phase, with the last position seen (Relative, Entered, Probing,
// Echoed) and the entry warp's target (Probing, Echoed; and Relative, where a
// motion right at it is the warp's own, come late, and is left out). A track
// that no entry has begun measures from home.
struct PointerTrack {
    PointerPhase phase = PointerPhase::Home;
    Pixel last{};   // window pixels
    Pixel target{}; // window pixels
};

// What to do with one motion: measure it from `from` (if it turns at all),
// then send the pointer to `to` (if it warps).
struct MotionPlan {
    bool turns = false;
    Pixel from{};
    bool warp = false;
    Pixel to{};
};

// Where mouse look keeps the pointer and measures each motion from, window
// pixels: `preferred` where it lies at least the edge margin (60 pixels, less
// in a window too small for it) inside the window, else the window's centre.
// A home at or beyond an edge would let the hidden pointer leave the window,
// and the window would see no more motion.
Pixel pointerHome(Pixel preferred, WindowSize window);

// Mouse look begins with the pointer at `at` (when `known`): whatever was
// learnt before is forgotten, and the next motion measures from `at` if it
// lies inside the window, else turns nothing.
void startPointerTrack(PointerTrack& track, bool known, Pixel at, WindowSize window);

// The pointer came into the window and is now at `at` (when `known`): starts
// afresh as startPointerTrack, except just after mouse look began from a place
// in the window and before any motion, when that place is kept (the menu
// closing over the window makes such a crossing, and the pointer's place asked
// now may already include motions still queued).
void enterPointerTrack(PointerTrack& track, bool known, Pixel at, WindowSize window);

// The pointer left the window and is now at `at` (when `known`): its last
// position is forgotten, unless the pointer is still inside the window (a
// crossing made by a grab, such as the menu's).
void leavePointerTrack(PointerTrack& track, bool known, Pixel at, WindowSize window);

// Plan one motion to `at`, with the pointer's home at `home` in the window.
MotionPlan planMotion(PointerTrack& track, Pixel at, Pixel home, WindowSize window);
