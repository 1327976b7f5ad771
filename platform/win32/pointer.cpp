// The pointer on Windows: where it is, its motions, warps and its visibility.
// SetCursorPos (the toolkit's warp) moves the pointer at once, and the mouse
// messages handled after it carry positions from then on: the window system
// keeps one mouse-move message pending and brings it up to date, never a
// queue of old positions.
#include "platform/platform.h"

#include "platform/gl.h"

#include <windows.h>

#include <utility>

namespace {

// Display count of the pointer as the program keeps it: visible while at least 0.
int cursorCount = 0;

// Where the last warp since the last motion sent the pointer, window pixels.
std::optional<Pixel> warpedSinceMotion;
// The target of the newest warp, and the last other target before it, window pixels.
std::optional<Pixel> newestWarp;
std::optional<Pixel> earlierWarp;

bool sameSpot(std::optional<Pixel> a, Pixel b)
{
    return a && a->x == b.x && a->y == b.y;
}

} // namespace

// Wine reports a warp twice: at once, and again when the X server's own
// report of it comes back, which may be after later motions and a newer warp.
// That second report moves nothing of the device's: a motion of none.
PointerMotion pointerMotion(int x, int y)
{
    const Pixel at = {x, y};
    if (sameSpot(earlierWarp, at) && !sameSpot(newestWarp, at))
        return {at, Pixel{0, 0}, std::nullopt};
    return {at, std::nullopt, std::exchange(warpedSinceMotion, std::nullopt)};
}

void warpPointer(Pixel to)
{
    if (!sameSpot(newestWarp, to))
        earlierWarp = newestWarp;
    newestWarp = to;
    warpedSinceMotion = to;
    glutWarpPointer(to.x, to.y);
}

// The toolkit makes the current window's GL context current, so its device
// context names the window.
std::optional<Pixel> pointerInWindow()
{
    const HWND window = WindowFromDC(wglGetCurrentDC());
    POINT point = {};
    if (window == nullptr || GetCursorPos(&point) == 0 || ScreenToClient(window, &point) == 0)
        return std::nullopt;
    return Pixel{static_cast<int>(point.x), static_cast<int>(point.y)};
}

// The program's own display count: the pointer shows while it is at least 0.
// Windows keeps such a count per thread too, but the toolkit adds one to it
// for every window it opens (our window and the menu's), so one hide of ours
// would leave the pointer showing. Ours decides; the thread's count is moved
// across 0 whenever ours crosses it.
int showCursor(bool show)
{
    const bool wasVisible = cursorCount >= 0;
    cursorCount += show ? 1 : -1;
    const bool visible = cursorCount >= 0;
    if (visible && !wasVisible) {
        while (ShowCursor(TRUE) < 0)
            continue;
    }
    if (!visible && wasVisible) {
        while (ShowCursor(FALSE) >= 0)
            continue;
    }
    return cursorCount;
}
