// Sleeping and the process's start-up surroundings on Windows.
#include "platform/platform.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

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

void sleepMilliseconds(unsigned milliseconds)
{
    Sleep(milliseconds);
}
