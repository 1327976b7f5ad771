// Pointer visibility, sleeping and the process's start-up surroundings on Windows.
#include "platform/platform.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Display count of the pointer as the program keeps it: visible while at least 0.
int cursorCount = 0;

bool isOpen(HANDLE stream)
{
    return stream != nullptr && stream != INVALID_HANDLE_VALUE;
}

// A windowed program gets standard output and error only when its caller
// hands them over (a pipe or a file). Started from a console it has none, so
// it writes to that console instead, as a console program would.
void attachStandardStreams()
{
    const bool outputMissing = !isOpen(GetStdHandle(STD_OUTPUT_HANDLE));
    const bool errorMissing = !isOpen(GetStdHandle(STD_ERROR_HANDLE));
    if ((!outputMissing && !errorMissing) || AttachConsole(ATTACH_PARENT_PROCESS) == 0)
        return;
    if (outputMissing)
        std::freopen("CONOUT$", "w", stdout);
    if (errorMissing)
        std::freopen("CONOUT$", "w", stderr);
}

// The toolkit reads DISPLAY as the name of a Windows monitor; a value left
// there for an X server (by Wine, or an X server for Windows) names none, and
// the toolkit would go looking for it.
void forgetXDisplay()
{
    _putenv("DISPLAY=");
}

// Runs before main(), so both hold before the toolkit starts or anything is printed.
const bool surroundingsReady = [] {
    attachStandardStreams();
    forgetXDisplay();
    return true;
}();

} // namespace

// The program's own display count: the pointer shows while it is at least 0.
// Windows keeps such a count per thread too, but the toolkit adds one to it
// for every window it opens (our window and the menu's), so one hide of ours
// would leave the pointer showing. Ours decides; the thread's count is moved
// across 0 whenever ours crosses it.
int showCursor(bool show)
{
    const bool wasVisible = cursorCount >= 0;
    cursorCount += show ? 1 : -1;
    const bool visible = cursorCount >= 0;
    if (visible && !wasVisible) {
        while (ShowCursor(TRUE) < 0)
            continue;
    }
    if (!visible && wasVisible) {
        while (ShowCursor(FALSE) >= 0)
            continue;
    }
    return cursorCount;
}

// The toolkit makes the current window's GL context current, so its device
// context names the window.
bool pointerInWindow(int& x, int& y)
{
    const HWND window = WindowFromDC(wglGetCurrentDC());
    POINT point = {};
    if (window == nullptr || GetCursorPos(&point) == 0 || ScreenToClient(window, &point) == 0)
        return false;
    x = point.x;
    y = point.y;
    return true;
}

void sleepMilliseconds(unsigned milliseconds)
{
    Sleep(milliseconds);
}
