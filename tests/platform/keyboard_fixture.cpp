#include "tests/platform/keyboard_fixture.h"

#include "platform/platform.h"
#include "tests/support/gl_program.h"
#include "tests/support/program.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Marker key for settleEvents: tracked, and used by no test for anything else.
constexpr char MARKER_KEYSYM[] = "z";
constexpr int MARKER_KEY = 'Z';

} // namespace

void KeyboardTest::SetUp()
{
    ProgramTest::SetUp();
    // Without a window manager the server follows the pointer (PointerRoot);
    // give the window the focus outright instead.
    programDriver().focus(programWindow());
    settleEvents();
    ASSERT_TRUE(heldCodes().empty());
}

void KeyboardTest::TearDown()
{
    while (!down_.empty())
        release(down_.back());
    programDriver().focus(programWindow());
    programDriver().sync();
}

void KeyboardTest::press(const std::string& keysym)
{
    ASSERT_TRUE(programDriver().keyDown(keysym)) << keysym;
    down_.push_back(keysym);
}

void KeyboardTest::release(const std::string& keysym)
{
    ASSERT_TRUE(programDriver().keyUp(keysym)) << keysym;
    const auto at = std::find(down_.begin(), down_.end(), keysym);
    if (at != down_.end())
        down_.erase(at);
}

bool KeyboardTest::waitForKey(int virtualKey, bool held)
{
    return pollUntil([&] {
        pumpEvents();
        const bool isHeld = (getKeyState(virtualKey) & KEY_HELD) != 0;
        tickSawKeys();  // as each tick does after reading the keys
        return isHeld == held;
    }, WAIT_MS);
}

void KeyboardTest::settleEvents()
{
    press(MARKER_KEYSYM);
    ASSERT_TRUE(waitForKey(MARKER_KEY, true)) << "the marker key never arrived";
    release(MARKER_KEYSYM);
    ASSERT_TRUE(waitForKey(MARKER_KEY, false)) << "the marker key never went up";
}

std::vector<int> KeyboardTest::heldCodes()
{
    std::vector<int> held;
    for (int code = 0; code < 256; ++code)
        if ((getKeyState(code) & KEY_HELD) != 0)
            held.push_back(code);
    return held;
}

std::string keyName(int virtualKey)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return std::string(1, static_cast<char>(virtualKey));
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(virtualKey));
    return text;
}
