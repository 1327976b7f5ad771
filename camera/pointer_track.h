// Where mouse look measures each pointer motion from, and where it sends the
// pointer back to. Order decides, not distance: the window system says of
// each motion whether the last warp had been carried out before it was made
// (PointerMotion.warpedTo), so a motion made before a warp, however late it
// comes in, measures from the motion before it, and the first one made after
// measures from the warp's target. Where the window system reports the
// device's own displacement (PointerMotion.moved), the view turns by that and
// nothing else changes.
//
// A warp moves the pointer for good only where the pointer is driven by
// relative motion: a mouse on X11 or Windows, or a Wayland compositor that
// makes the warp real. An absolute device (a VNC or remote-desktop viewer, a
// virtual machine's tablet or mouse integration, a pen) reports its next
// motion from where it is itself, and some compositors never make the warp
// real. So at every entry (mouse look begun, or the pointer come into the
// window) one warp finds out which: the device's first motion after the warp
// was carried out starts near the warp's target if the warp held, near where
// the pointer was if not. The target lies far from both, so that one motion
// tells them apart.
#pragma once

#include "platform/platform.h"
#include "platform/window_size.h"

#include <optional>

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
    // The entry warp to `target` is sent, not yet carried out: motions made
    // meanwhile measure from `last`, the one before.
    Probing,
    // The entry warp was carried out and reported as a motion to `target`;
    // the pointer was at `last` before it. The next motion tells whether warps hold.
    Echoed,
    // Warps hold: each motion measures from the one before, or from home if
    // the warp home was carried out in between, and the pointer is sent home.
    Home,
    // Warps do not hold: every motion measures from `last`, the one before.
    Relative,
};

// The phase, with the last position seen and the target of the entry warp
// (Probing, Echoed). A track no start has begun knows nothing of the pointer.
struct PointerTrack {
    PointerPhase phase = PointerPhase::Away;
    Pixel last{};                // window pixels
    std::optional<Pixel> target; // window pixels
};

// What to do with one motion: turn by `turn` (if at all), then send the
// pointer to `warpTo` (if anywhere).
struct MotionPlan {
    std::optional<Pixel> turn;   // window pixels, y down
    std::optional<Pixel> warpTo; // window pixels
};

// Where mouse look keeps the pointer and measures each motion from, window
// pixels: `preferred` where it lies at least the edge margin (60 pixels, less
// in a window too small for it) inside the window, else the window's centre.
// A home at or beyond an edge would let the hidden pointer leave the window,
// and the window would see no more motion.
Pixel pointerHome(Pixel preferred, WindowSize window);

// Mouse look begins with the pointer at `at` (none: unknown): whatever was
// learnt before is forgotten, and the next motion measures from `at` if it
// lies inside the window, else turns nothing.
void startPointerTrack(PointerTrack& track, std::optional<Pixel> at, WindowSize window);

// The pointer came into the window and is now at `at` (none: unknown): starts
// afresh as startPointerTrack, except just after mouse look began or the
// pointer came in at a place in the window and before any motion, when that
// place is kept (the menu closing over the window makes such a crossing, and
// the pointer's place asked now may already include motions still queued).
void enterPointerTrack(PointerTrack& track, std::optional<Pixel> at, WindowSize window);

// The pointer left the window and is now at `at` (none: unknown): its last
// position is forgotten, unless the pointer is still inside the window (a
// crossing made by a grab, such as the menu's).
void leavePointerTrack(PointerTrack& track, std::optional<Pixel> at, WindowSize window);

// The track takes one motion, with the pointer's home at `home` in the
// window, and says how far to turn by it and where to send the pointer.
MotionPlan trackMotion(PointerTrack& track, const PointerMotion& motion, Pixel home, WindowSize window);
