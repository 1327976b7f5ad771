// Pointer visibility and sleeping.
#include "platform/platform.h"

#include "platform/gl.h"

#include <chrono>
#include <thread>

namespace {

// Display count of the pointer: visible while at least 0.
int cursorCount = 0;

} // namespace

int showCursor(bool show)
{
    const bool wasVisible = cursorCount >= 0;
    cursorCount += show ? 1 : -1;
    const bool visible = cursorCount >= 0;
    if (visible != wasVisible && glutGetWindow() != 0)
        glutSetCursor(visible ? GLUT_CURSOR_INHERIT : GLUT_CURSOR_NONE);
    return cursorCount;
}

void sleepMilliseconds(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
