// Key state in the browser, from the page's key down and up events (repeats
// ignored) and from the page's touch controls. Every key counts as released
// when the page loses the keyboard or is hidden: its key-up events go
// elsewhere then. On macOS a letter let go while Cmd is held sends no key-up,
// so the letters are let go with Cmd. The arrows, Home and End neither scroll
// the page nor reach the browser.
#include "platform/platform.h"

#include "platform/tracked_keys.h"
#include "platform/web/key_names.h"
#include "platform/web/page.h"

#include <emscripten/html5.h>

#include <algorithm>
#include <array>
#include <cstring>
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

// The keys the tick just read as held, on the page (Module.keysSeen, an
// array of virtual-key codes), for the page's tests and benchmark to read;
// written only when it changes.
EM_JS(void, setKeysSeen, (const int* codes, int count), {
    Module['keysSeen'] = Array.from(HEAP32.subarray(codes >> 2, (codes >> 2) + count));
});

void publishKeysSeen()
{
    static std::array<int, 256> last{};
    static int lastCount = 0;
    std::array<int, 256> seen{};
    int count = 0;
    for (int code = 0; code < 256; ++code)
        if (getKeyState(code) != 0)
            seen[count++] = code;
    if (count != lastCount || !std::equal(seen.begin(), seen.begin() + count, last.begin())) {
        setKeysSeen(seen.data(), count);
        last = seen;
        lastCount = count;
    }
}

bool isCommandKey(const char* code)
{
    return std::strcmp(code, "MetaLeft") == 0 || std::strcmp(code, "MetaRight") == 0 ||
           std::strcmp(code, "OSLeft") == 0 || std::strcmp(code, "OSRight") == 0;
}

// Every letter pressed on the keyboard is let go.
void releaseLetters()
{
    for (auto& place : pressedPlaces)
        if (place.second >= 'A' && place.second <= 'Z') {
            releaseKey(place.second);
            place = {};
        }
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
        controlKeyDown(virtualKey);
    }
    return keepsFromPage(virtualKey);
}

EM_BOOL onKeyUp(int, const EmscriptenKeyboardEvent* event, void*)
{
    if (isCommandKey(event->code))
        releaseLetters();
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

void controlKeyDown(int virtualKey)
{
    if (!isTrackedKey(virtualKey))
        return;
    pressKey(virtualKey);
    pressedSinceTick[virtualKey] = true;
}

void controlKeyUp(int virtualKey)
{
    releaseKey(virtualKey);
}

void tickSawKeys()
{
    publishKeysSeen();
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
