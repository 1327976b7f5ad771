#include "tests/platform/keyboard_fixture.h"

#include "platform/platform.h"
#include "tests/support/gl_program.h"
#include "tests/support/xvfb.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

constexpr char WINDOW_TITLE[] = "Quorvale 1";
constexpr int SCREEN_WIDTH = 1600;  // pixels; room beside the window for others
constexpr int SCREEN_HEIGHT = 1000; // pixels
constexpr int WINDOW_WAIT_MS = 20000;
constexpr int KEY_WAIT_MS = 20000;  // bounded wait for a key event to arrive
constexpr int POLL_MS = 2;
// A short auto-repeat on the private server, so that keys held for a moment
// in these tests really repeat.
const std::vector<std::string> SERVER_OPTIONS = {"-ardelay", "150", "-arinterval", "30"};
// Marker key for settleEvents: tracked, and used by no test for anything else.
constexpr char MARKER_KEYSYM[] = "z";
constexpr int MARKER_KEY = 'Z';

std::unique_ptr<XvfbServer> server;
std::unique_ptr<XDriver> xdriver;
WindowId window = 0;

} // namespace

void KeyboardTest::SetUpTestSuite()
{
    if (server != nullptr)
        return;
    server = std::make_unique<XvfbServer>(SCREEN_WIDTH, SCREEN_HEIGHT, SERVER_OPTIONS);
    ASSERT_TRUE(server->running());
    // The program picks up $DISPLAY when it can connect to it.
    setenv("DISPLAY", server->display().c_str(), 1);
    startProgramInProcess();
    xdriver = std::make_unique<XDriver>(server->display());
    ASSERT_TRUE(xdriver->connected());
    window = xdriver->findWindow(WINDOW_TITLE, WINDOW_WAIT_MS);
    ASSERT_NE(window, 0u);
}

void KeyboardTest::SetUp()
{
    ASSERT_NE(window, 0u);
    // Without a window manager the server follows the pointer (PointerRoot);
    // give the window the focus outright instead.
    xdriver->focus(window);
    resetProgramState();
    settleEvents();
    ASSERT_TRUE(heldCodes().empty());
}

void KeyboardTest::TearDown()
{
    while (!down_.empty())
        release(down_.back());
    xdriver->focus(window);
    xdriver->sync();
}

XDriver& KeyboardTest::driver()
{
    return *xdriver;
}

WindowId KeyboardTest::programWindow()
{
    return window;
}

void KeyboardTest::press(const std::string& keysym)
{
    ASSERT_TRUE(xdriver->keyDown(keysym)) << keysym;
    down_.push_back(keysym);
}

void KeyboardTest::release(const std::string& keysym)
{
    ASSERT_TRUE(xdriver->keyUp(keysym)) << keysym;
    const auto at = std::find(down_.begin(), down_.end(), keysym);
    if (at != down_.end())
        down_.erase(at);
}

bool KeyboardTest::waitForKey(int virtualKey, bool held)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(KEY_WAIT_MS);
    for (;;) {
        pumpEvents();
        if (((getKeyState(virtualKey) & KEY_HELD) != 0) == held)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(POLL_MS));
    }
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
