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

} // namespace

void nameWindow()
{
    Display* display = glXGetCurrentDisplay();
    // The toolkit makes the new window's context current, so its drawable is the window.
    const Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0)
        return;
    // The patched toolkit names the window so before mapping it, which is when
    // window managers read the class; with the system's toolkit it is set here
    // for the desktop's pagers and task lists, late for the window manager.
    // Withdrawing and mapping the window again to have it read afresh would
    // race the window manager (icewm leaves such a window unmapped), so the
    // window is left as it is. Window managers take up a changed icon at once.
    XClassHint classHint;
    classHint.res_name = instanceName;
    classHint.res_class = className;
    XSetClassHint(display, window, &classHint);
    const std::vector<unsigned long> icon = iconProperty();
    const Atom netWmIcon = XInternAtom(display, "_NET_WM_ICON", False);
    XChangeProperty(display, window, netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(icon.data()), static_cast<int>(icon.size()));
    XFlush(display);
}

bool pointerInWindow(int& x, int& y)
{
    Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0)
        return false;
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    unsigned mask = 0;
    // False when the pointer is on another screen than the window.
    return XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask) != 0;
}
