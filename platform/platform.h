// The program's small window onto the operating system: key state polled by
// virtual-key code, that state fed from the window's key events and its focus,
// the window's identity for the desktop (class and icon), the desktop's scale,
// the pointer (where it is, its motions in the window system's order, warps,
// visibility), and sleeping. Nothing outside platform/ sees how these are
// provided.
#pragma once

#include <optional>

// Virtual-key codes of the keys the program polls (the Windows numbering).
// Letters are their upper-case ASCII codes, 0x41 ('A') to 0x5A ('Z').
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_RSHIFT = 0xA1;

// Bit set in a key's state while the key is held.
constexpr int KEY_HELD = 0x80;

// State of one key: KEY_HELD set while it is held, 0 otherwise (and for any
// code the program does not track).
int getKeyState(int virtualKey);

// Mark one key held or released by the program's own say (a key pressed on
// the keyboard and let go before a tick reads it counts at that tick; one
// marked here counts only while marked); codes the program does not track are
// ignored.
void pressKey(int virtualKey);
void releaseKey(int virtualKey);

// Every key counts as released, as when the window loses the keyboard.
void releaseAllKeys();

// The tick has read the keys. A key pressed since the tick before counts as
// held until this call even if it was let go already, so that a tap shorter
// than a tick (which a slow machine stretches) still acts once; from now on
// it counts only while it is held.
void tickSawKeys();

// Feed the key state from the current toolkit window's key events (repeats
// ignored) and release every key whenever that window loses keyboard focus.
// Call once, right after the window is created.
void attachKeyboard();

// Tell the desktop who the current toolkit window is: the class that the
// desktop entry names (StartupWMClass) and the program's icon. Call once,
// right after the window is created.
void nameWindow();

// The desktop's scale as the dots per inch its own programs draw at (96 at
// 100 %), read before the window opens. X11: the settings manager's Xft/DPI
// where one runs, else the server's Xft.dpi resource, else 96, from the
// display named (null: the one DISPLAY names). Windows: the system's DPI.
// Browser: 96 times the page's device pixel ratio.
double desktopDpi(const char* displayName);

// Keep the current toolkit window at the scale of the monitor it is on: on
// Windows it takes the size that monitor's DPI asks for (desktopDpi told the
// size it opened at) and, when it moves to a monitor of another scale, the
// rectangle Windows suggests, its icons following; nothing on X11, where the
// desktop's scale is read once, at start. In a browser the picture takes
// 1280x720 page pixels, fitted to a smaller browser window, at the device
// pixel ratio, and follows the browser window's size and ratio as they change.
// Call once, right after nameWindow.
void followDesktopScale();

// A pointer position, or a displacement, in window pixels (y down).
struct Pixel {
    int x;
    int y;
};

// One pointer motion as the window system reports it, with what it knows of
// the motion besides the place.
struct PointerMotion {
    Pixel at; // where the pointer is now, window pixels
    // The device's own displacement since the motion before, window pixels,
    // where the window system reports it (the browser under Pointer Lock):
    // warps take no part in it.
    std::optional<Pixel> moved;
    // Where the last warp carried out since the motion before sent the
    // pointer, in the window system's own order of events: the pointer stood
    // there just before this motion, if warps move it for the device. A
    // warp's own report comes as a motion to its target.
    std::optional<Pixel> warpedTo;
};

// The motion to window pixel (x, y) that the passive-motion callback is
// handling now; outside a callback, a motion made after every warp sent.
PointerMotion pointerMotion(int x, int y);

// Send the pointer to window pixel `to` (glutWarpPointer), keeping the
// warp's place among the window system's events for pointerMotion.
void warpPointer(Pixel to);

// Where the pointer is now, in pixels of the current toolkit window (y down,
// possibly outside it): as of the event being handled where that tells (the
// pointer crossing into the window, the menu's button release), since
// motions made later may still be queued; none where the window system
// cannot tell.
std::optional<Pixel> pointerInWindow();

// Hide (false) or show (true) the pointer over the current window. Calls nest
// as a counter: the pointer shows while the count is at least 0, which it is
// at start. Returns the new count.
int showCursor(bool show);

// Block the calling thread for the given number of milliseconds. A browser
// must never block: there the tick's timer keeps ticks at least 10 ms apart
// and this returns at once.
void sleepMilliseconds(unsigned milliseconds);
