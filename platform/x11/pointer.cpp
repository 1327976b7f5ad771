// The pointer on X11: where it is, its motions in the order the X server made
// them, warps, and its visibility. The server numbers every event with the
// last request of ours it had carried out when it made the event, so a motion
// tells whether it came before or after a warp of ours: one made before is
// still queued when the warp is sent and comes in afterwards, its position
// measured from where the pointer was, not from the warp's target. For the
// same reason the pointer's place is taken from the event being handled
// (the crossing into the window, the menu's button release) where there is
// one: asking the server gives its place after the motions still queued.
#include "platform/platform.h"

#include "platform/gl.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <deque>

// The patched toolkit's event being handled (null between events). Weak, so
// that a build with the system's toolkit links too; there every motion counts
// as made after every warp sent, and the pointer's place is asked.
extern "C" const XEvent* glutX11Event() __attribute__((weak));

namespace {

// A warp sent and not yet seen carried out: its request's serial and target.
struct PendingWarp {
    unsigned long serial;
    Pixel target; // window pixels
};

// Oldest first. A mouse reporting many times a frame makes a warp after each
// motion, so several may be under way; each is dropped once a motion made
// after it comes in.
std::deque<PendingWarp> pendingWarps;

// True if the event numbered `event` was made after the request `request`
// was carried out. Serials wrap: they are compared within half their range.
bool madeAfter(unsigned long event, unsigned long request)
{
    return static_cast<long>(event - request) >= 0;
}

// Display count of the pointer: visible while at least 0.
int cursorCount = 0;

const XEvent* handledEvent()
{
    return glutX11Event != nullptr ? glutX11Event() : nullptr;
}

// A point on a root window, pixels.
struct RootPoint {
    Window root;
    Pixel at;
};

// Where the event says the pointer was; none for events that carry no
// pointer position.
std::optional<RootPoint> pointerOnRoot(const XEvent& event)
{
    switch (event.type) {
    case MotionNotify: return RootPoint{event.xmotion.root, {event.xmotion.x_root, event.xmotion.y_root}};
    case ButtonPress:
    case ButtonRelease: return RootPoint{event.xbutton.root, {event.xbutton.x_root, event.xbutton.y_root}};
    case EnterNotify:
    case LeaveNotify: return RootPoint{event.xcrossing.root, {event.xcrossing.x_root, event.xcrossing.y_root}};
    default: return std::nullopt;
    }
}

} // namespace

PointerMotion pointerMotion(int x, int y)
{
    PointerMotion motion{{x, y}, std::nullopt, std::nullopt};
    const XEvent* handled = handledEvent();
    const unsigned long event = handled != nullptr ? handled->xany.serial : 0;
    while (!pendingWarps.empty() && (event == 0 || madeAfter(event, pendingWarps.front().serial))) {
        motion.warpedTo = pendingWarps.front().target;
        pendingWarps.pop_front();
    }
    return motion;
}

void warpPointer(Pixel to)
{
    Display* display = glXGetCurrentDisplay();
    if (display != nullptr)
        pendingWarps.push_back({NextRequest(display), to});
    glutWarpPointer(to.x, to.y);
}

std::optional<Pixel> pointerInWindow()
{
    Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0)
        return std::nullopt;
    Window root = 0;
    Window child = 0;
    Pixel at{};
    Pixel rootAt{};
    const XEvent* handled = handledEvent();
    if (const std::optional<RootPoint> then = handled != nullptr ? pointerOnRoot(*handled) : std::nullopt) {
        if (XTranslateCoordinates(display, then->root, window, then->at.x, then->at.y, &at.x, &at.y, &child) == 0)
            return std::nullopt;
        return at;
    }
    unsigned mask = 0;
    // False when the pointer is on another screen than the window.
    if (XQueryPointer(display, window, &root, &child, &rootAt.x, &rootAt.y, &at.x, &at.y, &mask) == 0)
        return std::nullopt;
    return at;
}

int showCursor(bool show)
{
    const bool wasVisible = cursorCount >= 0;
    cursorCount += show ? 1 : -1;
    const bool visible = cursorCount >= 0;
    if (visible != wasVisible && glutGetWindow() != 0)
        glutSetCursor(visible ? GLUT_CURSOR_INHERIT : GLUT_CURSOR_NONE);
    return cursorCount;
}
