#include "tests/soak/soak_input.h"

#include "app/app.h"
#include "platform/platform.h"

#include <iterator>

namespace {

// Every key the program polls, except Escape.
constexpr int soakKeys[] = {
    VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_HOME, VK_END, VK_RSHIFT,
    'W',   'S',     'A',     'D',      'Q',     'E',    'R',       'F',
};
constexpr std::uint32_t SOAK_KEY_COUNT = static_cast<std::uint32_t>(std::size(soakKeys));

// One tick in KEY_CHANGE_ODDS flips one key, so a key stays held (or free) for
// about KEY_CHANGE_ODDS * SOAK_KEY_COUNT = 60 ticks, and several keys overlap.
constexpr std::uint32_t KEY_CHANGE_ODDS = 4;
// One tick in RELEASE_ALL_ODDS lets go of every key, as when the window loses focus.
constexpr std::uint32_t RELEASE_ALL_ODDS = 997;
// One tick in MENU_ODDS picks a menu entry: about 200 choices per 100,000 ticks.
constexpr std::uint32_t MENU_ODDS = 500;
constexpr int MENU_ENTRY_COUNT_WITHOUT_EXIT = MENU_VERTEX;

} // namespace

void SoakInput::changeKeys()
{
    if (below(RELEASE_ALL_ODDS) == 0) {
        releaseAllKeys();
        return;
    }
    if (below(KEY_CHANGE_ODDS) != 0)
        return;
    const int key = soakKeys[below(SOAK_KEY_COUNT)];
    if ((getKeyState(key) & KEY_HELD) != 0)
        releaseKey(key);
    else
        pressKey(key);
}

int SoakInput::menuChoice()
{
    if (below(MENU_ODDS) != 0)
        return 0;
    return 1 + static_cast<int>(below(MENU_ENTRY_COUNT_WITHOUT_EXIT));
}
