// Where mouse look measures each pointer motion from, and where it sends the
// pointer back to. Sending the pointer home (a warp) takes effect at once on
// a plain X server and on Windows; under Xwayland only while the pointer is
// hidden and over our window; under some Wayland compositors never, the next
// motion coming in from wherever the user's pointer really is. The first
// warp after the pointer came in finds out which: motions measured from a
// home the pointer never reached would spin the view away.
#pragma once

// A pointer position in window pixels, y down.
struct Pixel {
    int x;
    int y;
};

// What is known of the window system's warps.
enum class WarpsHold { Unknown, Yes, No };

// The pointer as mouse look has seen it between motions.
struct PointerTrack {
    WarpsHold warpsHold = WarpsHold::Unknown;
    bool entered = false;  // no motion seen since the pointer came in or mouse look began
    bool known = false;    // `last` holds where the pointer was
    Pixel last{};          // the pointer's last position seen, window pixels
    bool settling = false; // the warp to `target` is not yet seen to have taken effect
    bool echoSeen = false; // the motion the warp itself makes has come in
    Pixel target{};        // where the last entry warp sent the pointer
};

// What to do with one motion: measure it from `from` (if it turns at all),
// then send the pointer to `to` (if it warps).
struct MotionPlan {
    bool turns = false;
    Pixel from{};
    bool warp = false;
    Pixel to{};
};

// The pointer came into the window, or mouse look began, at `at` (when
// `known`): the next motion is measured from there. `warpsHold` tells that
// the window system always makes warps real.
void enterPointerTrack(PointerTrack& track, bool known, Pixel at, bool warpsHold);

// Plan one motion to `at`, with the pointer home at `home` in a window
// `width` pixels wide. Once warps are known to hold (and before anything
// is known, as for a motion with no entry), every motion measures from home
// and sends the pointer back there.
MotionPlan planMotion(PointerTrack& track, Pixel at, Pixel home, int width);
