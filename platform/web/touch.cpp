// Touch on the page: the controls over the picture hold the program's keys
// while a finger is on them (fingers may slide from one to the next), the
// menu and full-screen buttons act on a tap, a finger dragged over the
// picture turns the view in mouse camera mode, and one held still there opens
// the menu where it is; a tap on the open menu picks an entry. Every finger
// is followed by itself, so several act at once. Nothing of the page scrolls,
// zooms or selects under a finger.
#include "platform/platform.h"

#include "platform/web/page.h"

#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <array>
#include <cmath>
#include <optional>

namespace {

constexpr double LONG_PRESS_MS = 500.0;     // held this long on the picture: the menu
constexpr double LONG_PRESS_SLOP = 10.0;    // page pixels a long press may wander
constexpr int MOST_FINGERS = 10;

// What is under a finger, as the page's markup tells it (see whatIsAt).
enum Target : int {
    PICTURE = 0,
    MENU_BUTTON = -1,
    FULL_SCREEN_BUTTON = -2,
    MENU_LIST = -3,
    NOTHING = -4,
    // a positive value: a control standing for that virtual key
};

// One finger on the page: where it came down, where it was last and what it
// holds or does.
struct Finger {
    int id;
    Target startedOn;
    int heldKey;          // virtual key held, 0 for none
    double downAt;        // ms on the page's clock
    double startX, startY;
    double lastX, lastY;  // page pixels
    bool wandered;        // moved beyond LONG_PRESS_SLOP: no long press
    bool menuOpened;      // its long press opened the menu
};
std::array<std::optional<Finger>, MOST_FINGERS> fingers;
bool touched = false;

// What lies at (x, y) page pixels: a control's key, a button, the menu, the picture.
EM_JS(int, whatIsAt, (double x, double y), {
    var element = document.elementFromPoint(x, y);
    for (; element; element = element.parentElement) {
        if (element.dataset && element.dataset.key) return Number(element.dataset.key);
        if (element.id === 'menu-button') return -1;
        if (element.id === 'full-screen-button') return -2;
        if (element.id === 'quorvale-menu') return -3;
        if (element.id === 'canvas') return 0;
    }
    return -4;
});

// Light the control of `key` while held.
EM_JS(void, markHeld, (int key, int held), {
    var control = document.querySelector('[data-key="' + key + '"]');
    if (control) control.classList.toggle('held', held != 0);
});

EM_JS(void, markTouched, (), { document.body.classList.add('touch'); });
EM_JS(int, coarsePointer, (), { return matchMedia('(pointer: coarse)').matches ? 1 : 0; });

EM_JS(void, toggleFullScreen, (), {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (document.fullscreenEnabled) document.documentElement.requestFullscreen().catch(function() {});
});

// The controls answer clicks too (a mouse, a keyboard, a screen reader or
// switch access on the buttons): a click is a tap of the key.
EM_JS(void, answerClicks, (), {
    document.querySelectorAll('#touch-controls [data-key]').forEach(function(control) {
        control.addEventListener('click', function() { _quorvaleTapKey(Number(control.dataset.key)); });
    });
    document.getElementById('menu-button').addEventListener('click', function(event) {
        var box = event.currentTarget.getBoundingClientRect();
        _quorvaleOpenMenu(box.left, box.bottom);
    });
    document.getElementById('full-screen-button').addEventListener('click', function() { _quorvaleToggleFullScreen(); });
    if (!document.fullscreenEnabled) document.getElementById('full-screen-button').hidden = true;
});

std::optional<Finger>* fingerOf(int id)
{
    for (auto& finger : fingers)
        if (finger && finger->id == id)
            return &finger;
    return nullptr;
}

void holdKey(Finger& finger, int key)
{
    if (finger.heldKey == key)
        return;
    if (finger.heldKey != 0) {
        controlKeyUp(finger.heldKey);
        markHeld(finger.heldKey, 0);
    }
    finger.heldKey = key;
    if (key > 0) {
        controlKeyDown(key);
        markHeld(key, 1);
    }
}

void useTouch()
{
    if (touched)
        return;
    touched = true;
    markTouched();
    refitPicture();
}

void fingerDown(const EmscriptenTouchPoint& point, double now)
{
    for (auto& slot : fingers) {
        if (slot)
            continue;
        const auto target = static_cast<Target>(whatIsAt(point.clientX, point.clientY));
        slot = Finger{point.identifier, target, 0, now, static_cast<double>(point.clientX),
                      static_cast<double>(point.clientY), static_cast<double>(point.clientX),
                      static_cast<double>(point.clientY), false, false};
        holdKey(*slot, target > 0 ? target : 0);
        return;
    }
}

void fingerMoved(Finger& finger, double x, double y)
{
    if (std::hypot(x - finger.startX, y - finger.startY) > LONG_PRESS_SLOP)
        finger.wandered = true;
    if (finger.startedOn > 0) {
        // Sliding over the controls: the key under the finger is the one held.
        const int under = whatIsAt(x, y);
        holdKey(finger, under > 0 ? under : 0);
    } else if (finger.startedOn == PICTURE && !finger.menuOpened) {
        fingerDragged(x - finger.lastX, y - finger.lastY);
    }
    finger.lastX = x;
    finger.lastY = y;
}

void fingerUp(std::optional<Finger>& slot, bool cancelled)
{
    Finger& finger = *slot;
    holdKey(finger, 0);
    if (!cancelled && whatIsAt(finger.lastX, finger.lastY) == finger.startedOn) {
        if (finger.startedOn == MENU_BUTTON)
            openMenuAt(finger.lastX, finger.lastY);
        else if (finger.startedOn == FULL_SCREEN_BUTTON)
            toggleFullScreen();
    }
    // A tap on the menu picks an entry; one on the picture closes the menu.
    const bool tapOnPicture = finger.startedOn == PICTURE && !finger.wandered && !finger.menuOpened;
    if (!cancelled && (finger.startedOn == MENU_LIST || tapOnPicture))
        tapMenu(finger.lastX, finger.lastY);
    slot.reset();
}

// A finger held still on the picture for LONG_PRESS_MS opens the menu there.
void checkLongPresses(void*)
{
    const double now = emscripten_get_now();
    bool waiting = false;
    for (auto& finger : fingers) {
        if (!finger || finger->startedOn != PICTURE || finger->wandered || finger->menuOpened)
            continue;
        if (now - finger->downAt >= LONG_PRESS_MS) {
            finger->menuOpened = true;
            openMenuAt(finger->lastX, finger->lastY);
        } else {
            waiting = true;
        }
    }
    if (waiting)
        emscripten_set_timeout(checkLongPresses, LONG_PRESS_MS / 10, nullptr);
}

EM_BOOL onTouch(int eventType, const EmscriptenTouchEvent* event, void*)
{
    useTouch();
    const double now = emscripten_get_now();
    bool pressedPicture = false;
    for (int i = 0; i < event->numTouches; ++i) {
        const EmscriptenTouchPoint& point = event->touches[i];
        if (!point.isChanged)
            continue;
        std::optional<Finger>* slot = fingerOf(point.identifier);
        if (eventType == EMSCRIPTEN_EVENT_TOUCHSTART && slot == nullptr) {
            fingerDown(point, now);
            pressedPicture |= whatIsAt(point.clientX, point.clientY) == PICTURE;
        } else if (slot != nullptr && eventType == EMSCRIPTEN_EVENT_TOUCHMOVE) {
            fingerMoved(**slot, point.clientX, point.clientY);
        } else if (slot != nullptr) {
            fingerUp(*slot, eventType == EMSCRIPTEN_EVENT_TOUCHCANCEL);
        }
    }
    if (pressedPicture)
        emscripten_set_timeout(checkLongPresses, LONG_PRESS_MS, nullptr);
    // Taken from the browser: no scrolling, zooming, selecting, or mouse
    // events made up from the touch.
    return EM_TRUE;
}

// Keys held by fingers are let go when the page loses the keyboard or is
// hidden, as the keyboard's are: the fingers' lifts may never come.
void forgetFingers()
{
    for (auto& finger : fingers) {
        if (finger)
            holdKey(*finger, 0);
        finger.reset();
    }
}

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void*)
{
    forgetFingers();
    return EM_FALSE;
}

EM_BOOL onVisibilityChange(int, const EmscriptenVisibilityChangeEvent* event, void*)
{
    if (event->hidden)
        forgetFingers();
    return EM_FALSE;
}

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void quorvaleTapKey(int virtualKey)
{
    controlKeyDown(virtualKey);
    controlKeyUp(virtualKey);
}

extern "C" EMSCRIPTEN_KEEPALIVE void quorvaleToggleFullScreen()
{
    toggleFullScreen();
}

extern "C" EMSCRIPTEN_KEEPALIVE void quorvaleOpenMenu(double x, double y)
{
    openMenuAt(x, y);
}

bool touchInUse()
{
    return touched;
}

void watchTouch()
{
    if (coarsePointer() != 0)
        useTouch();
    const char* page = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
    emscripten_set_touchstart_callback(page, nullptr, EM_FALSE, onTouch);
    emscripten_set_touchmove_callback(page, nullptr, EM_FALSE, onTouch);
    emscripten_set_touchend_callback(page, nullptr, EM_FALSE, onTouch);
    emscripten_set_touchcancel_callback(page, nullptr, EM_FALSE, onTouch);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onBlur);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, onVisibilityChange);
    answerClicks();
}
