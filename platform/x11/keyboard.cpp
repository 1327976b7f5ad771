// Key state table fed from the toolkit's key callbacks and, for the letters,
// from the keys the focus watch reads by keycode.
#include "platform/platform.h"

#include "platform/x11/focus.h"
#include "platform/x11/key_events.h"
#include "platform/gl.h"
#include "platform/tracked_keys.h"

#include <GL/glx.h>
#include <X11/XKBlib.h>

#include <array>

namespace {

// One slot per virtual-key code; true while the key is held.
std::array<bool, 256> heldKeys{};
// Keys pressed since the last tick read the keys: a tap that went down and
// up between two ticks still counts at the next one.
std::array<bool, 256> pressedSinceTick{};

// True while the right-button menu is open.
bool menuOpen = false;
// Escape went down while the menu was open (a common way to dismiss one) and
// its release has not reached us since: it is the menu's, not a key the
// program sees, presses of it coming meanwhile being its auto-repeat.
bool escapeForTheMenu = false;

// Toolkit special-key codes and the virtual keys they stand for.
struct SpecialKey {
    int glutKey;
    int virtualKey;
};
constexpr SpecialKey specialKeys[] = {
    {GLUT_KEY_LEFT, VK_LEFT},   {GLUT_KEY_UP, VK_UP},     {GLUT_KEY_RIGHT, VK_RIGHT},
    {GLUT_KEY_DOWN, VK_DOWN},   {GLUT_KEY_HOME, VK_HOME}, {GLUT_KEY_END, VK_END},
    {GLUT_KEY_SHIFT_R, VK_RSHIFT},
};

// Character code that Escape produces.
constexpr unsigned char escapeCharacter = 27;
// Ctrl+A .. Ctrl+Z produce the character codes 1 .. 26.
constexpr unsigned char firstControlLetter = 1;
constexpr unsigned char lastControlLetter = 26;

// The key a character from the keyboard callback stands for (0 for none), and
// whether the character alone tells that key. A letter is the same key whether
// Shift, Caps Lock or Ctrl changed its character. Without Ctrl the codes 1 to
// 26 come from Tab, Enter or Backspace, never from letters; with Ctrl they may
// still come from those keys, and Escape's code also comes from Ctrl+[ or
// Ctrl+3.
struct CharacterKey {
    int virtualKey;
    bool certain;
};

CharacterKey keyOfCharacter(unsigned char character, bool ctrlHeld)
{
    if (character >= 'a' && character <= 'z')
        return {character - 'a' + 'A', true};
    if (character >= 'A' && character <= 'Z')
        return {character, true};
    if (ctrlHeld && character >= firstControlLetter && character <= lastControlLetter)
        return {character - firstControlLetter + 'A', false};
    if (character == escapeCharacter)
        return {VK_ESCAPE, !ctrlHeld};
    return {0, true};
}

int virtualKeyOfSpecial(int glutKey)
{
    for (const SpecialKey& entry : specialKeys)
        if (entry.glutKey == glutKey)
            return entry.virtualKey;
    return 0;
}

bool ctrlHeld()
{
    return (glutGetModifiers() & GLUT_ACTIVE_CTRL) != 0;
}

// The window lost the keyboard at some time since the last look. Events on
// the watch connection may come in later than key events sent after them, so
// the loss may be over by now: a key stays held only if the window has the
// keyboard now and the key is still down (its release may have gone elsewhere).
void catchUpOnFocus()
{
    if (!pollFocusLost())
        return;
    const bool ours = haveKeyboardNow();
    if (!ours) {
        pressedSinceTick.fill(false);
        escapeForTheMenu = false;
    }
    for (std::size_t code = 0; code < heldKeys.size(); ++code) {
        if (heldKeys[code] &&
            (!ours || readKeyOnKeyboard(static_cast<int>(code)) == KeyReading::Up))
            heldKeys[code] = false;
    }
}

// A press that the keyboard says is over by now: a tap, or an auto-repeat
// queued before a release that went to another window. Either way it holds
// nothing: a press let go at once, which counts for the next tick only.
void tapKey(int virtualKey)
{
    keyWentDown(virtualKey);
    keyWentUp(virtualKey);
}

// Escape belongs to the menu from a press while the menu is open until its
// release comes in (or, should the release go to another window, until the
// keyboard goes elsewhere or the menu closes with Escape up). Held keys repeat
// as presses alone, so the presses before that release are its auto-repeat,
// in the order the server made them, however late they are handled.
bool escapeIsTheMenus(int virtualKey, bool down)
{
    if (virtualKey != VK_ESCAPE)
        return false;
    if (down && menuOpen)
        escapeForTheMenu = true;
    const bool theMenus = escapeForTheMenu;
    if (!down)
        escapeForTheMenu = false;
    return theMenus;
}

// A key went down (or up) giving this character. When the character alone
// cannot tell the key, the event counts only if the keyboard agrees that the
// key it may stand for is now down (or up).
void onCharacter(unsigned char character, bool down)
{
    const CharacterKey key = keyOfCharacter(character, ctrlHeld());
    // Letters read by keycode come from the watch instead, under every layout.
    if (lettersByKeycode() && key.virtualKey >= 'A' && key.virtualKey <= 'Z')
        return;
    const KeyReading contrary = down ? KeyReading::Up : KeyReading::Down;
    if (!key.certain && readKeyOnKeyboard(key.virtualKey) == contrary)
        return;
    if (escapeIsTheMenus(key.virtualKey, down) && down)
        return;
    if (down && readKeyOnKeyboard(key.virtualKey) == KeyReading::Up)
        tapKey(key.virtualKey);
    else if (down)
        keyWentDown(key.virtualKey);
    else
        keyWentUp(key.virtualKey);
}

void onKeyDown(unsigned char character, int, int)
{
    catchUpOnFocus();
    onCharacter(character, true);
}

void onKeyUp(unsigned char character, int, int)
{
    onCharacter(character, false);
}

void onSpecialDown(int key, int, int)
{
    catchUpOnFocus();
    const int virtualKey = virtualKeyOfSpecial(key);
    // As for characters: a press of a key that is up again by now is a tap.
    if (readKeyOnKeyboard(virtualKey) == KeyReading::Up)
        tapKey(virtualKey);
    else
        keyWentDown(virtualKey);
}

// While the menu is open the keyboard may follow the pointer into the menu's
// own window, which then takes the release of a key let go meanwhile: when
// the menu closes, keys that are up by then count as let go.
void onMenuStatus(int status, int, int)
{
    menuOpen = status == GLUT_MENU_IN_USE;
    if (status != GLUT_MENU_NOT_IN_USE)
        return;
    for (std::size_t code = 0; code < heldKeys.size(); ++code)
        if (heldKeys[code] && readKeyOnKeyboard(static_cast<int>(code)) == KeyReading::Up)
            heldKeys[code] = false;
    if (readKeyOnKeyboard(VK_ESCAPE) == KeyReading::Up)
        escapeForTheMenu = false;
}

void onSpecialUp(int key, int, int)
{
    keyWentUp(virtualKeyOfSpecial(key));
}

} // namespace

int getKeyState(int virtualKey)
{
    catchUpOnFocus();
    if (!isTrackedKey(virtualKey))
        return 0;
    const auto code = static_cast<unsigned>(virtualKey);
    return heldKeys[code] || pressedSinceTick[code] ? KEY_HELD : 0;
}

void pressKey(int virtualKey)
{
    if (isTrackedKey(virtualKey))
        heldKeys[static_cast<unsigned>(virtualKey)] = true;
}

void releaseKey(int virtualKey)
{
    if (isTrackedKey(virtualKey))
        heldKeys[static_cast<unsigned>(virtualKey)] = false;
}

void keyWentDown(int virtualKey)
{
    if (!isTrackedKey(virtualKey))
        return;
    const auto code = static_cast<unsigned>(virtualKey);
    // A press of a key held already is its auto-repeat, which counts nothing more.
    if (!heldKeys[code])
        pressedSinceTick[code] = true;
    heldKeys[code] = true;
}

void keyWentUp(int virtualKey)
{
    releaseKey(virtualKey);
}

void releaseAllKeys()
{
    heldKeys.fill(false);
    pressedSinceTick.fill(false);
}

void tickSawKeys()
{
    pressedSinceTick.fill(false);
}

void attachKeyboard()
{
    // A held key repeats as presses alone, never as a release and a press: a
    // release always means the key went up, and a press handled after the key
    // went up is a tap, not a repeat.
    XkbSetDetectableAutoRepeat(glXGetCurrentDisplay(), True, nullptr);
    glutIgnoreKeyRepeat(1);
    glutKeyboardFunc(onKeyDown);
    glutKeyboardUpFunc(onKeyUp);
    glutSpecialFunc(onSpecialDown);
    glutSpecialUpFunc(onSpecialUp);
    glutMenuStatusFunc(onMenuStatus);
    watchFocus();
}
