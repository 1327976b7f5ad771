// Key state in the browser, from the page's key down and up events (repeats
// ignored). Every key counts as released when the page loses the keyboard or
// is hidden: its key-up events go elsewhere then. The arrows, Home and End
// neither scroll the page nor reach the browser.
#include "platform/platform.h"

#include "platform/tracked_keys.h"
#include "platform/web/key_names.h"
#include "platform/web/page.h"

#include <emscripten/html5.h>

#include <array>
#include <string>

namespace {

// One slot per virtual-key code; true while the key is held.
std::array<bool, 256> heldKeys{};
// Keys pressed since the last tick: a tap shorter than the time between two
// ticks (which a busy page may stretch) still counts at the next tick.
std::array<bool, 256> pressedSinceTick{};
// The virtual key each place was pressed as, so that its release lets go of
// that key even if the layout or Shift changed in between.
std::array<std::pair<std::string, int>, 16> pressedPlaces{};

bool keepsFromPage(int virtualKey)
{
    switch (virtualKey) {
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN: case VK_HOME: case VK_END:
        return true;
    default:
        return false;
    }
}

void rememberPlace(const char* code, int virtualKey)
{
    for (auto& place : pressedPlaces)
        if (place.second == 0 || place.first == code) {
            place = {code, virtualKey};
            return;
        }
}

// The key the place was pressed as, forgotten now; 0 if it was not pressed.
int forgetPlace(const char* code)
{
    for (auto& place : pressedPlaces)
        if (place.second != 0 && place.first == code) {
            const int virtualKey = place.second;
            place = {};
            return virtualKey;
        }
    return 0;
}

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* event, void*)
{
    const int virtualKey = virtualKeyOfEvent(event->key, event->code);
    if (event->repeat || virtualKey == 0)
        return keepsFromPage(virtualKey);
    const bool notTheProgramsEscape =
        virtualKey == VK_ESCAPE && (menuTakesEscape() || escapeBelongsToPointerLock());
    if (!notTheProgramsEscape) {
        rememberPlace(event->code, virtualKey);
        pressKey(virtualKey);
        pressedSinceTick[virtualKey] = true;
    }
    return keepsFromPage(virtualKey);
}

EM_BOOL onKeyUp(int, const EmscriptenKeyboardEvent* event, void*)
{
    const int virtualKey = forgetPlace(event->code);
    if (virtualKey != 0)
        releaseKey(virtualKey);
    return keepsFromPage(virtualKeyOfEvent(event->key, event->code));
}

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void*)
{
    releaseAllKeys();
    return EM_FALSE;
}

EM_BOOL onVisibilityChange(int, const EmscriptenVisibilityChangeEvent* event, void*)
{
    if (event->hidden)
        releaseAllKeys();
    return EM_FALSE;
}

} // namespace

int getKeyState(int virtualKey)
{
    const bool held = isTrackedKey(virtualKey) && (heldKeys[virtualKey] || pressedSinceTick[virtualKey]);
    return held ? KEY_HELD : 0;
}

void pressKey(int virtualKey)
{
    if (isTrackedKey(virtualKey))
        heldKeys[virtualKey] = true;
}

void releaseKey(int virtualKey)
{
    if (isTrackedKey(virtualKey))
        heldKeys[virtualKey] = false;
}

void tickSawKeys()
{
    pressedSinceTick.fill(false);
}

void releaseAllKeys()
{
    heldKeys.fill(false);
    pressedSinceTick.fill(false);
    pressedPlaces.fill({});
}

void attachKeyboard()
{
    const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(page, nullptr, EM_TRUE, onKeyDown);
    emscripten_set_keyup_callback(page, nullptr, EM_TRUE, onKeyUp);
    emscripten_set_blur_callback(page, nullptr, EM_TRUE, onBlur);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, onVisibilityChange);
}
