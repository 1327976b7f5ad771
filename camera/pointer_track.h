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

#include "platform/window_size.h"

#include <optional>

// A pointer position in window pixels, y down.
struct Pixel {
    int x;
    int y;
};

// Where the pointer stands, as mouse look has seen it between motions.
enum class PointerPhase {
    // The pointer's place is unknown (outside the window, or no start yet):
    // the next motion turns nothing.
    Away,
    // Mouse look began or the pointer came in at `last`, no motion since: the
    // next motion measures from there.
    Placed,
    // The window left no room to send the entry warp anywhere but where the
    // pointer was, at `last`: the next motion measures from there and tries again.
    Cramped,
    // The entry warp to `target` is sent, its own motion not yet seen.
    Probing,
    // The entry warp's own motion came in: the next motion tells whether warps hold.
    Echoed,
    // Warps hold: every motion measures from home and the pointer is sent back there.
    Home,
    // Warps do not hold: every motion measures from `last`, the one before.
    Relative,
};

// The phase, with the last position seen (Placed, Cramped, Probing, Echoed,
// Relative), the target of the last entry warp sent (kept in every phase: a
// motion right at it is that warp's own, and one that comes late is left
// out) and the motions seen since that warp (Probing, Echoed). A track no
// start has begun knows nothing of the pointer.
struct PointerTrack {
    PointerPhase phase = PointerPhase::Away;
    Pixel last{};                // window pixels
    std::optional<Pixel> target; // window pixels; none before the first entry warp
    int probeMotions = 0;
};

// What to do with one motion: measure it from `from` (if it turns the view at
// all), then send the pointer to `warpTo` (if anywhere).
struct MotionPlan {
    std::optional<Pixel> from;   // window pixels
    std::optional<Pixel> warpTo; // window pixels
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
// afresh as startPointerTrack, except just after mouse look began or the
// pointer came in at a place in the window and before any motion, when that
// place is kept (the menu closing over the window makes such a crossing, and
// the pointer's place asked now may already include motions still queued).
void enterPointerTrack(PointerTrack& track, bool known, Pixel at, WindowSize window);

// The pointer left the window and is now at `at` (when `known`): its last
// position is forgotten, unless the pointer is still inside the window (a
// crossing made by a grab, such as the menu's).
void leavePointerTrack(PointerTrack& track, bool known, Pixel at, WindowSize window);

// The track takes one motion to `at`, with the pointer's home at `home` in the
// window, and says how to turn by it and where to send the pointer. The probe
// after an entry warp ends with a decision within seven motions, whatever comes.
MotionPlan trackMotion(PointerTrack& track, Pixel at, Pixel home, WindowSize window);
