// The window's identity for the desktop on X11: WM_CLASS and _NET_WM_ICON,
// set on the toolkit's own connection.
#include "platform/platform.h"

#include "platform/window_icon.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

namespace {

// The instance and class names; the class is the desktop entry's StartupWMClass.
char instanceName[] = "quorvale";
char className[] = "Quorvale";

// _NET_WM_ICON: for each icon its width, its height, then its pixels as
// 0xAARRGGBB. Format-32 properties travel through Xlib as C longs, whatever
// the size of long, so each value is widened to one.
std::vector<unsigned long> iconProperty()
{
    std::vector<unsigned long> values;
    for (const WindowIcon& icon : windowIcons) {
        values.push_back(static_cast<unsigned long>(icon.width));
        values.push_back(static_cast<unsigned long>(icon.height));
        const int count = icon.width * icon.height;
        for (int index = 0; index < count; ++index)
            values.push_back(icon.argb[index]);
    }
    return values;
}

// True if a window manager runs: the one client that redirects the structure
// requests of the root window's children.
bool windowManagerRuns(Display* display, Window window)
{
    XWindowAttributes attributes = {};
    XWindowAttributes root = {};
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           XGetWindowAttributes(display, attributes.root, &root) != 0 &&
           (root.all_event_masks & SubstructureRedirectMask) != 0;
}

} // namespace

void nameWindow()
{
    Display* display = glXGetCurrentDisplay();
    // The toolkit makes the new window's context current, so its drawable is the window.
    const Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0)
        return;
    XClassHint classHint;
    classHint.res_name = instanceName;
    classHint.res_class = className;
    XSetClassHint(display, window, &classHint);
    const std::vector<unsigned long> icon = iconProperty();
    const Atom netWmIcon = XInternAtom(display, "_NET_WM_ICON", False);
    XChangeProperty(display, window, netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(icon.data()), static_cast<int>(icon.size()));
    // Window managers read WM_CLASS once, when they take a window on, but the
    // toolkit maps its windows as it creates them. Withdrawing the window and
    // mapping it again has it taken on afresh, with the class now set. With no
    // window manager nobody reads the class at mapping, so nothing is redone.
    if (windowManagerRuns(display, window)) {
        XWithdrawWindow(display, window, DefaultScreen(display));
        XMapWindow(display, window);
    }
    XFlush(display);
}
