// Key state on Windows: the thread's own key-state query (GetKeyState), which
// counts only for keys pressed while the keyboard is ours.
//
// Windows keeps a thread's key state from the key messages that thread has
// received, so a key let go while another program had the keyboard can read
// as held for ever after, and a key pressed there and held on reads as held
// once our window is back in front (its auto-repeat arrives here; Wine even
// copies the desktop's key state into the thread's). So every key is set
// aside when the keyboard goes elsewhere (and at start) and counts again only
// after a fresh press, not a repeat, has come to our window.
//
// While the right-button menu is open, Escape (a common way to dismiss a
// menu) is the menu's: it stays set aside from the menu's opening until a
// fresh press after the menu closed, so it cannot end the program.
#include "platform/platform.h"

#include "platform/gl.h"
#include "platform/tracked_keys.h"

#include <windows.h>

#include <array>

namespace {

constexpr std::size_t KEY_CODES = 256;
// GetAsyncKeyState sets this bit while the key is down on the keyboard now.
constexpr unsigned short ASYNC_KEY_DOWN = 0x8000;
// Bit of a key-down message's lParam set when the key was already down (a repeat).
constexpr LPARAM KEY_WAS_DOWN = LPARAM{1} << 30;
// Bits 16 to 23 of a key message's lParam: the key's scan code.
constexpr int SCAN_CODE_SHIFT = 16;
constexpr LPARAM SCAN_CODE_MASK = 0xFF;
// Key messages carry either Shift key as this one code.
constexpr WPARAM EITHER_SHIFT = 0x10;

// Keys held by the program's own say (pressKey), whatever the keyboard says.
std::array<bool, KEY_CODES> pressedByProgram{};
// Keys freshly pressed in our window since the last tick read the keys: a tap
// that went down and up between two ticks still counts at the next one.
std::array<bool, KEY_CODES> pressedSinceTick{};
// Keys that count only after a fresh press in our window.
std::array<bool, KEY_CODES> setAside = [] {
    std::array<bool, KEY_CODES> all{};
    all.fill(true);
    return all;
}();

// True while the right-button menu is open.
bool menuOpen = false;

HWND ourWindow = nullptr;
WNDPROC toolkitWindowProcedure = nullptr;

void setAllAside()
{
    setAside.fill(true);
    pressedSinceTick.fill(false);
}

// True while key messages come to a window of this thread: our window is
// in front, or the toolkit's menu (a window of the same thread) is.
bool keyboardIsOurs()
{
    if (ourWindow == nullptr)
        return false;
    const HWND front = GetForegroundWindow();
    if (front == nullptr || GetWindowThreadProcessId(front, nullptr) != GetCurrentThreadId())
        return false;
    // Wine activates the toolkit's hidden menu window when it is created and
    // then misses our window losing the keyboard: the activation belongs to
    // our window.
    if (front != ourWindow && IsWindowVisible(front) == FALSE)
        SetActiveWindow(ourWindow);
    return true;
}

// Down by the thread's key state and on the keyboard now: the second check
// catches a release the thread never received.
bool nativeKeyDown(int virtualKey)
{
    const bool threadSaysDown = (GetKeyState(virtualKey) & KEY_HELD) != 0;
    const bool keyboardSaysDown =
        (static_cast<unsigned short>(GetAsyncKeyState(virtualKey)) & ASYNC_KEY_DOWN) != 0;
    return threadSaysDown && keyboardSaysDown;
}

// The key a key-down message stands for: the two Shift keys told apart by scan code.
int virtualKeyOfMessage(WPARAM wParam, LPARAM lParam)
{
    if (wParam != EITHER_SHIFT)
        return static_cast<int>(wParam);
    const auto scanCode = static_cast<UINT>((lParam >> SCAN_CODE_SHIFT) & SCAN_CODE_MASK);
    return static_cast<int>(MapVirtualKeyW(scanCode, MAPVK_VSC_TO_VK_EX));
}

// Our window's messages pass through here first. A fresh press lets its key
// count again (not Escape while the menu is open); when this program stops
// being the active one, every key is set aside at once, even should the
// keyboard come back before the next tick looks.
LRESULT CALLBACK watchKeyboard(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && (lParam & KEY_WAS_DOWN) == 0) {
        const int virtualKey = virtualKeyOfMessage(wParam, lParam);
        if (isTrackedKey(virtualKey) && !(virtualKey == VK_ESCAPE && menuOpen)) {
            setAside[static_cast<std::size_t>(virtualKey)] = false;
            pressedSinceTick[static_cast<std::size_t>(virtualKey)] = true;
        }
    }
    if ((message == WM_ACTIVATEAPP && wParam == FALSE) || message == WM_KILLFOCUS)
        setAllAside();
    return IsWindowUnicode(window)
               ? CallWindowProcW(toolkitWindowProcedure, window, message, wParam, lParam)
               : CallWindowProcA(toolkitWindowProcedure, window, message, wParam, lParam);
}

// The menu opens or closes. Escape is set aside as it opens: a press that
// goes to the menu's own window (a window of this thread, so the thread's key
// state takes it) never passes our window's watcher to be told apart.
void onMenuStatus(int status, int, int)
{
    menuOpen = status == GLUT_MENU_IN_USE;
    if (menuOpen)
        setAside[VK_ESCAPE] = true;
}

} // namespace

int getKeyState(int virtualKey)
{
    if (!isTrackedKey(virtualKey))
        return 0;
    const auto code = static_cast<std::size_t>(virtualKey);
    if (pressedByProgram[code])
        return KEY_HELD;
    if (!keyboardIsOurs()) {
        setAllAside();
        return 0;
    }
    const bool held = !setAside[code] && nativeKeyDown(virtualKey);
    return held || pressedSinceTick[code] ? KEY_HELD : 0;
}

void pressKey(int virtualKey)
{
    if (isTrackedKey(virtualKey))
        pressedByProgram[static_cast<std::size_t>(virtualKey)] = true;
}

// A key the program let go stays released until it is pressed afresh.
void releaseKey(int virtualKey)
{
    if (!isTrackedKey(virtualKey))
        return;
    const auto code = static_cast<std::size_t>(virtualKey);
    pressedByProgram[code] = false;
    setAside[code] = true;
}

void releaseAllKeys()
{
    pressedByProgram.fill(false);
    setAllAside();
}

void tickSawKeys()
{
    pressedSinceTick.fill(false);
}

// The toolkit makes the new window's GL context current, so its device
// context names the window.
void attachKeyboard()
{
    const HWND window = WindowFromDC(wglGetCurrentDC());
    if (window == nullptr || ourWindow != nullptr)
        return;
    ourWindow = window;
    glutMenuStatusFunc(onMenuStatus);
    const auto watcher = reinterpret_cast<LONG_PTR>(&watchKeyboard);
    toolkitWindowProcedure = reinterpret_cast<WNDPROC>(
        IsWindowUnicode(window) ? SetWindowLongPtrW(window, GWLP_WNDPROC, watcher)
                                : SetWindowLongPtrA(window, GWLP_WNDPROC, watcher));
}
