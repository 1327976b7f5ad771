// Pointer visibility, sleeping and the process's start-up surroundings on Windows.
#include "platform/platform.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

// A windowed program gets standard output only when its caller hands it one
// (a pipe or a file). Started from a console it has none, so it writes to
// that console instead, as a console program would.
void attachStandardOutput()
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output != nullptr && output != INVALID_HANDLE_VALUE)
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS) != 0)
        std::freopen("CONOUT$", "w", stdout);
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
    attachStandardOutput();
    forgetXDisplay();
    return true;
}();

} // namespace

// ShowCursor keeps the same counter: shown while it is at least 0.
int showCursor(bool show)
{
    return ShowCursor(show ? TRUE : FALSE);
}

void sleepMilliseconds(unsigned milliseconds)
{
    Sleep(milliseconds);
}
