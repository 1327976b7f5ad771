// The pointer in the browser. Mouse camera mode turns the view through the
// Pointer Lock API, which gives the device's own motion: under the lock the
// pointer stays put, and each motion reports its displacement, which mouse
// look turns by as it comes, and moves a pointer of our own, in window
// pixels, that a warp sends anywhere at once. The browser reports that
// displacement in page pixels; it is turned into window pixels (the device
// pixel ratio), so that a hand's motion turns the view as far as on a desktop
// at the same scale. A click on the picture locks the pointer again after
// Escape gave it back; the menu gives it back while it is open. On a touch
// screen a finger dragged over the picture turns the view instead, by its
// own motion in page pixels, and no lock is asked for.
#include "platform/platform.h"

#include "platform/gl.h"
#include "platform/web/page.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <utility>

namespace {

// An Escape this soon after the lock ended was the one that ended it: the
// browser may deliver its key events after the change of lock.
constexpr double UNLOCK_ESCAPE_MS = 250.0;

// The program's motion and entry callbacks (mouse camera mode), or null.
void (*passiveMotion)(int, int) = nullptr;
void (*entry)(int) = nullptr;
bool locked = false;
// The menu gave the lock back while it is open; it is taken again after.
bool lockLent = false;
double unlockedAt = -UNLOCK_ESCAPE_MS; // ms on the page's clock
// Where the pointer is, window pixels: our own pointer under the lock, the
// real one over the picture otherwise.
int pointerX = 0;
int pointerY = 0;
bool pointerKnown = false;
// The displacement of the motion being handed to the program now.
std::optional<Pixel> handledMovement;
// Where the last warp since the last motion sent our pointer, window pixels.
std::optional<Pixel> warpedSinceMotion;
// Display count of the pointer: visible while at least 0.
int cursorCount = 0;
// Window pixels of locked motion not yet whole, kept for the next motion.
double carriedX = 0.0;
double carriedY = 0.0;

// Say on the page why the pointer is back, or nothing; show the pointer
// over the picture while it is not locked.
EM_JS(void, showLockRefused, (int refused), {
    var note = document.getElementById('lock-note');
    if (note) note.hidden = !refused;
    if (refused) document.getElementById('canvas').style.cursor = 'default';
});

// Mouse camera mode marks the page, so that the touch controls it lacks hide.
EM_JS(void, markMouseCamera, (int on), { document.body.classList.toggle('mouse-camera', on != 0); });

// Ask the browser for the lock at once: a press moments ago still allows it
// (the menu picks in a task of its own, where emscripten's own request would
// wait for the next press). A refusal comes as pointerlockerror.
EM_JS(void, lockPointer, (), {
    var request = document.getElementById('canvas').requestPointerLock();
    if (request && request.catch) request.catch(function() {});
});

void requestLock()
{
    // A touch screen has no pointer to lock: a finger's drag turns the view there.
    if (!touchInUse())
        lockPointer();
}

// Window pixels per page pixel across the picture (the device pixel ratio,
// less where the picture was fitted to a smaller page).
double pixelsPerPagePixel()
{
    double cssWidth = 0.0;
    double cssHeight = 0.0;
    emscripten_get_element_css_size(CANVAS_SELECTOR, &cssWidth, &cssHeight);
    return cssWidth > 0.0 ? glutGet(GLUT_WINDOW_WIDTH) / cssWidth : 1.0;
}

EM_BOOL onPointerLockChange(int, const EmscriptenPointerlockChangeEvent* event, void*)
{
    locked = event->isActive != 0;
    if (!locked && !lockLent)
        unlockedAt = emscripten_get_now();
    if (locked)
        showLockRefused(0);
    if (entry != nullptr)
        entry(locked ? GLUT_ENTERED : GLUT_LEFT);
    return EM_FALSE;
}

EM_BOOL onPointerLockError(int, const void*, void*)
{
    if (passiveMotion != nullptr)
        showLockRefused(1);
    return EM_FALSE;
}

// True if the picture holds the pointer now. Motions may come under the lock
// before the lock's change event does.
EM_JS(int, pictureHasPointer, (), {
    return document.pointerLockElement === document.getElementById('canvas') ? 1 : 0;
});

// Hand the program a motion of `moved` window pixels of our own pointer.
void moveOwnPointer(Pixel moved)
{
    pointerX += moved.x;
    pointerY += moved.y;
    pointerKnown = true;
    if (passiveMotion != nullptr) {
        handledMovement = moved;
        passiveMotion(pointerX, pointerY);
        handledMovement.reset();
    }
}

EM_BOOL onMouseMove(int, const EmscriptenMouseEvent* event, void*)
{
    const double scale = pixelsPerPagePixel();
    if (pictureHasPointer() != 0) {
        carriedX += static_cast<double>(event->movementX) * scale;
        carriedY += static_cast<double>(event->movementY) * scale;
        const Pixel moved = {static_cast<int>(std::trunc(carriedX)), static_cast<int>(std::trunc(carriedY))};
        carriedX -= moved.x;
        carriedY -= moved.y;
        moveOwnPointer(moved);
        return EM_TRUE;
    }
    pointerX = static_cast<int>(static_cast<double>(event->targetX) * scale);
    pointerY = static_cast<int>(static_cast<double>(event->targetY) * scale);
    pointerKnown = true;
    return EM_FALSE;
}

void watchPointer()
{
    static bool watching = false;
    if (watching)
        return;
    watching = true;
    emscripten_set_mousemove_callback(CANVAS_SELECTOR, nullptr, EM_TRUE, onMouseMove);
    emscripten_set_pointerlockchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE,
                                              onPointerLockChange);
    emscripten_set_pointerlockerror_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE,
                                             onPointerLockError);
}

} // namespace

bool escapeBelongsToPointerLock()
{
    return locked || emscripten_get_now() - unlockedAt < UNLOCK_ESCAPE_MS;
}

void pictureClicked()
{
    if (passiveMotion != nullptr && !locked)
        requestLock();
}

void menuOpened()
{
    if (!locked)
        return;
    lockLent = true;
    emscripten_exit_pointerlock();
}

void menuClosed()
{
    if (!lockLent)
        return;
    lockLent = false;
    if (passiveMotion != nullptr)
        requestLock();
}

bool lockLentToMenu()
{
    return lockLent;
}

void fingerDragged(double dx, double dy)
{
    if (passiveMotion != nullptr && !locked)
        moveOwnPointer({static_cast<int>(std::lround(dx)), static_cast<int>(std::lround(dy))});
}

// Motion without a button: installing it (mouse camera mode) locks the
// pointer, removing it gives the pointer back.
void glutPassiveMotionFunc(void (*callback)(int, int))
{
    watchPointer();
    passiveMotion = callback;
    markMouseCamera(callback != nullptr ? 1 : 0);
    showLockRefused(0);
    if (callback != nullptr)
        requestLock();
    else if (locked)
        emscripten_exit_pointerlock();
}

// Entering is the lock taking hold, leaving is the lock ending.
void glutEntryFunc(void (*callback)(int))
{
    entry = callback;
}

// Under the lock, our own pointer goes there; the real pointer cannot be moved.
void glutWarpPointer(int x, int y)
{
    pointerX = x;
    pointerY = y;
}

PointerMotion pointerMotion(int x, int y)
{
    return {{x, y}, handledMovement, std::exchange(warpedSinceMotion, std::nullopt)};
}

void warpPointer(Pixel to)
{
    warpedSinceMotion = to;
    glutWarpPointer(to.x, to.y);
}

std::optional<Pixel> pointerInWindow()
{
    if (!pointerKnown)
        return std::nullopt;
    return Pixel{pointerX, pointerY};
}

int showCursor(bool show)
{
    const bool wasVisible = cursorCount >= 0;
    cursorCount += show ? 1 : -1;
    const bool visible = cursorCount >= 0;
    if (visible != wasVisible)
        glutSetCursor(visible ? GLUT_CURSOR_INHERIT : GLUT_CURSOR_NONE);
    return cursorCount;
}
