// Key state table fed from the toolkit's key callbacks.
#include "platform/platform.h"

#include "platform/focus.h"
#include "platform/gl.h"

#include <array>

namespace {

// One slot per virtual-key code; true while the key is held.
std::array<bool, 256> heldKeys{};

// Keys the program tracks: everything else is ignored, however it arrives.
bool isTracked(int virtualKey)
{
    switch (virtualKey) {
    case VK_ESCAPE: case VK_END: case VK_HOME: case VK_LEFT:
    case VK_UP: case VK_RIGHT: case VK_DOWN: case VK_RSHIFT:
        return true;
    default:
        return virtualKey >= 'A' && virtualKey <= 'Z';
    }
}

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

// The virtual key of a character from the keyboard callback, or 0. A letter is
// the same key whether Shift, Caps Lock or Ctrl changed its character; codes 1
// to 26 count as letters only with Ctrl held, since Tab, Enter and Backspace
// produce some of them too.
int virtualKeyOfCharacter(unsigned char character, bool ctrlHeld)
{
    if (character >= 'a' && character <= 'z')
        return character - 'a' + 'A';
    if (character >= 'A' && character <= 'Z')
        return character;
    if (ctrlHeld && character >= firstControlLetter && character <= lastControlLetter)
        return character - firstControlLetter + 'A';
    if (character == escapeCharacter)
        return VK_ESCAPE;
    return 0;
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

void onKeyDown(unsigned char character, int, int)
{
    pressKey(virtualKeyOfCharacter(character, ctrlHeld()));
}

void onKeyUp(unsigned char character, int, int)
{
    releaseKey(virtualKeyOfCharacter(character, ctrlHeld()));
}

void onSpecialDown(int key, int, int)
{
    pressKey(virtualKeyOfSpecial(key));
}

void onSpecialUp(int key, int, int)
{
    releaseKey(virtualKeyOfSpecial(key));
}

} // namespace

int getKeyState(int virtualKey)
{
    if (pollFocusLost())
        releaseAllKeys();
    if (!isTracked(virtualKey))
        return 0;
    return heldKeys[static_cast<unsigned>(virtualKey)] ? KEY_HELD : 0;
}

void pressKey(int virtualKey)
{
    if (isTracked(virtualKey))
        heldKeys[static_cast<unsigned>(virtualKey)] = true;
}

void releaseKey(int virtualKey)
{
    if (isTracked(virtualKey))
        heldKeys[static_cast<unsigned>(virtualKey)] = false;
}

void releaseAllKeys()
{
    heldKeys.fill(false);
}

void attachKeyboard()
{
    glutIgnoreKeyRepeat(1);
    glutKeyboardFunc(onKeyDown);
    glutKeyboardUpFunc(onKeyUp);
    glutSpecialFunc(onSpecialDown);
    glutSpecialUpFunc(onSpecialUp);
    watchFocus();
}
