// Keyboard-focus watch through a connection of our own to the X server. The
// toolkit reports no focus changes, and selecting them on its own connection
// would replace its event mask, so a second connection listens instead.
#include "platform/focus.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace {

Display* focusDisplay = nullptr;

} // namespace

void watchFocus()
{
    Display* toolkitDisplay = glXGetCurrentDisplay();
    // The toolkit makes the new window's context current, so its drawable is the window.
    const Window window = glXGetCurrentDrawable();
    if (toolkitDisplay == nullptr || window == 0 || focusDisplay != nullptr)
        return;
    focusDisplay = XOpenDisplay(DisplayString(toolkitDisplay));
    if (focusDisplay == nullptr)
        return;
    XSelectInput(focusDisplay, window, FocusChangeMask | StructureNotifyMask);
    XFlush(focusDisplay);
}

bool pollFocusLost()
{
    if (focusDisplay == nullptr)
        return false;
    bool lost = false;
    while (XPending(focusDisplay) > 0) {
        XEvent event;
        XNextEvent(focusDisplay, &event);
        // Focus moving to a child of ours keeps the keyboard with us; every
        // other loss (another window, a grab, unmapping) takes it away.
        if (event.type == FocusOut && event.xfocus.detail != NotifyInferior)
            lost = true;
        if (event.type == UnmapNotify)
            lost = true;
    }
    return lost;
}
