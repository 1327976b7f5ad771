// Which letter a key stands for, read from the keymap through the keyboard
// extension (XKB), so that the letter keys work under every layout as they do
// on Windows. A key counts as the Latin letter it gives in the active group;
// failing that, as the Latin letter another group gives on it; failing that,
// as the letter at its place on a US keyboard, if no key of the keymap gives
// that letter. So under a Russian, Greek or Hebrew layout the key at W's place
// is W, while Latin layouts (AZERTY, QWERTZ, Dvorak) keep their labels and
// their punctuation keys take no letter.
#include "platform/x11/letter_keys.h"

#include "platform/platform.h"
#include "platform/x11/key_events.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <array>
#include <cstring>

namespace {

// The US layout's letters by the keymap's key names: row AD from AD01, AC
// from AC01, AB from AB01.
struct LetterRow {
    char name[3];
    const char* letters;
};
constexpr LetterRow usLetterRows[] = {{"AD", "QWERTYUIOP"}, {"AC", "ASDFGHJKL"}, {"AB", "ZXCVBNM"}};

constexpr int keycodeCount = 256; // X keycodes are 8 bits
constexpr int letterCount = 26;
// Levels looked at for a group's letter: the plain and the shifted one.
constexpr int letterLevels = 2;

// What the rule needs of one key.
struct KeyLetters {
    std::array<char, XkbNumKbdGroups> byGroup{}; // Latin letter 'A'..'Z' per group, 0 for none
    int groups = 0;                              // groups the key has symbols in
    unsigned char groupInfo = 0;                 // what an active group beyond them becomes
    char atPlace = 0; // the US letter at the key's place when no key gives it, else 0
};

// The connection the keymap is read on (the focus watch's).
Display* keymapDisplay = nullptr;
// Type of every keyboard-extension event on that connection.
int xkbEventType = 0;
std::array<KeyLetters, keycodeCount> keyLetters;
// The keyboard's effective group, 0 .. 3.
int activeGroup = 0;
// The keymap changed since it was last read.
bool keymapStale = false;
// The letter each key was last pressed as (0 for none), by keycode.
std::array<char, keycodeCount> pressedAs{};

// The capital ('A'..'Z') of a Latin letter's keysym, either case; 0 for any other keysym.
char latinLetter(KeySym keysym)
{
    if (keysym >= XK_a && keysym <= XK_z)
        return static_cast<char>('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z)
        return static_cast<char>('A' + (keysym - XK_A));
    return 0;
}

// The US letter at a key's place, from its name ("AD02" is W); 0 off the letter rows.
char usLetterAt(const char (&name)[XkbKeyNameLength])
{
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (!digit(name[2]) || !digit(name[3]))
        return 0;
    const std::size_t column = static_cast<std::size_t>((name[2] - '0') * 10 + (name[3] - '0'));
    for (const LetterRow& row : usLetterRows)
        if (std::strncmp(name, row.name, 2) == 0 && column >= 1 && column <= std::strlen(row.letters))
            return row.letters[column - 1];
    return 0;
}

// The first Latin letter among a group's plain and shifted symbols; 0 for none.
char groupLetter(XkbDescPtr xkb, int keycode, int group)
{
    const int levels = XkbKeyGroupWidth(xkb, keycode, group);
    for (int level = 0; level < levels && level < letterLevels; ++level)
        if (const char letter = latinLetter(XkbKeySymEntry(xkb, keycode, level, group)))
            return letter;
    return 0;
}

// Read the letters of every key and the active group afresh.
void loadKeymap()
{
    keymapStale = false;
    keyLetters.fill(KeyLetters{});
    XkbDescPtr xkb = XkbGetMap(keymapDisplay, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (xkb == nullptr)
        return;
    const bool named = XkbGetNames(keymapDisplay, XkbKeyNamesMask, xkb) == Success &&
                       xkb->names != nullptr && xkb->names->keys != nullptr;
    std::array<bool, letterCount> given{};
    for (int code = xkb->min_key_code; code <= xkb->max_key_code; ++code) {
        KeyLetters& key = keyLetters[static_cast<std::size_t>(code)];
        key.groups = XkbKeyNumGroups(xkb, code);
        key.groupInfo = XkbKeyGroupInfo(xkb, code);
        for (int group = 0; group < key.groups && group < XkbNumKbdGroups; ++group) {
            const char letter = groupLetter(xkb, code, group);
            key.byGroup[static_cast<std::size_t>(group)] = letter;
            if (letter != 0)
                given[static_cast<std::size_t>(letter - 'A')] = true;
        }
        if (named)
            key.atPlace = usLetterAt(xkb->names->keys[code].name);
    }
    for (KeyLetters& key : keyLetters)
        if (key.atPlace != 0 && given[static_cast<std::size_t>(key.atPlace - 'A')])
            key.atPlace = 0;
    XkbFreeKeyboard(xkb, 0, True);
    XkbStateRec state;
    if (XkbGetState(keymapDisplay, XkbUseCoreKbd, &state) == Success)
        activeGroup = state.group;
}

// The group a key's symbols are taken from under the active group: one beyond
// the key's own groups is wrapped, clamped or redirected as the key says.
int groupOfKey(const KeyLetters& key)
{
    if (activeGroup < key.groups)
        return activeGroup;
    if (XkbOutOfRangeGroupAction(key.groupInfo) == XkbClampIntoRange)
        return key.groups - 1;
    if (XkbOutOfRangeGroupAction(key.groupInfo) == XkbRedirectIntoRange) {
        const int group = XkbOutOfRangeGroupNumber(key.groupInfo);
        return group < key.groups ? group : 0;
    }
    return activeGroup % key.groups;
}

// The letter ('A'..'Z') a keycode stands for now; 0 for none.
char letterOfKeycode(unsigned keycode)
{
    if (keycode >= keycodeCount)
        return 0;
    if (keymapStale)
        loadKeymap();
    const KeyLetters& key = keyLetters[keycode];
    if (key.groups == 0)
        return key.atPlace;
    if (const char own = key.byGroup[static_cast<std::size_t>(groupOfKey(key))])
        return own;
    for (const char other : key.byGroup)
        if (other != 0)
            return other;
    return key.atPlace;
}

// True if the keycode's bit is set in XQueryKeymap's 32 bytes.
bool keycodeDownIn(const char keys[32], unsigned keycode)
{
    return (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
}

} // namespace

bool watchLetterKeys(Display* display)
{
    int opcode = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &xkbEventType, &errorBase, &major, &minor))
        return false;
    // Held keys must repeat as presses alone: a release between two presses
    // would let the letter go for as long as nobody reads the next press.
    Bool detectable = False;
    if (!XkbSetDetectableAutoRepeat(display, True, &detectable) || !detectable)
        return false;
    constexpr unsigned long keymapChanges =
        XkbNewKeyboardNotifyMask | XkbMapNotifyMask | XkbNamesNotifyMask;
    XkbSelectEvents(display, XkbUseCoreKbd, keymapChanges, keymapChanges);
    XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                          XkbGroupStateMask);
    keymapDisplay = display;
    // Read now, at start-up, rather than in the middle of a tick.
    loadKeymap();
    return true;
}

bool takeKeymapEvent(XEvent& event)
{
    if (keymapDisplay == nullptr)
        return false;
    if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        keymapStale = true;
        return true;
    }
    if (event.type != xkbEventType)
        return false;
    auto& change = reinterpret_cast<XkbEvent&>(event);
    if (change.any.xkb_type == XkbStateNotify) {
        activeGroup = change.state.group;
        return true;
    }
    // Xlib's own copy of the keymap (XKeysymToKeycode) is brought up to date too.
    if (change.any.xkb_type == XkbMapNotify)
        XkbRefreshKeyboardMapping(&change.map);
    keymapStale = true;
    return true;
}

void takeLetterKeyEvent(const XKeyEvent& event)
{
    if (keymapDisplay == nullptr || event.keycode >= keycodeCount)
        return;
    char& pressedLetter = pressedAs[event.keycode];
    if (event.type == KeyRelease) {
        keyWentUp(pressedLetter != 0 ? pressedLetter : letterOfKeycode(event.keycode));
        pressedLetter = 0;
        return;
    }
    pressedLetter = letterOfKeycode(event.keycode);
    if (pressedLetter == 0)
        return;
    // A press handed on after the key has gone up again (a tap, or one queued
    // before a release that went to another window) holds nothing: it counts
    // as a press let go at once.
    keyWentDown(pressedLetter);
    char keys[32];
    XQueryKeymap(keymapDisplay, keys);
    if (!keycodeDownIn(keys, event.keycode))
        keyWentUp(pressedLetter);
}

bool letterDownIn(const char keys[32], int letter)
{
    for (unsigned keycode = 0; keycode < keycodeCount; ++keycode)
        if (keycodeDownIn(keys, keycode) &&
            (letterOfKeycode(keycode) == letter || pressedAs[keycode] == letter))
            return true;
    return false;
}
