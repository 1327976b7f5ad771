// The window's identity for the desktop on X11: WM_CLASS and _NET_WM_ICON,
// set on the toolkit's own connection; and the desktop's scale, read as the
// desktop's own GTK and Qt programs read it.
#include "platform/platform.h"

#include "platform/window_icon.h"
#include "platform/x11/xsettings.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

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

// The scale of a desktop that sets none: 100 %, dots per inch.
constexpr double DEFAULT_DPI = 96.0;
// Xft/DPI counts 1024ths of a dot per inch.
constexpr double XSETTINGS_DPI_UNIT = 1024.0;
// The most of the settings property read, in 32-bit units: 256 KiB, far
// beyond what settings managers publish.
constexpr long SETTINGS_MAX_LONGS = 1L << 16;

int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}

// Xft/DPI from the settings manager of the display's default screen, dots
// per inch; 0 where no manager runs or it sets no DPI.
double settingsManagerDpi(Display* display)
{
    char selectionName[32];
    std::snprintf(selectionName, sizeof selectionName, "_XSETTINGS_S%d", DefaultScreen(display));
    const Window manager = XGetSelectionOwner(display, XInternAtom(display, selectionName, False));
    if (manager == None)
        return 0.0;
    const Atom settings = XInternAtom(display, "_XSETTINGS_SETTINGS", False);
    // A manager that has just gone away is no reason to end the program.
    const XErrorHandler previous = XSetErrorHandler(ignoreError);
    Atom type = None;
    int format = 0;
    unsigned long size = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, manager, settings, 0, SETTINGS_MAX_LONGS, False, settings,
                                          &type, &format, &size, &left, &data);
    XSync(display, False);
    XSetErrorHandler(previous);
    std::int32_t dpi = 0;
    const bool found = status == Success && data != nullptr && format == 8 &&
                       xsettingsInteger(data, size, "Xft/DPI", dpi);
    if (data != nullptr)
        XFree(data);
    // -1 stands for no value set.
    return found && dpi > 0 ? dpi / XSETTINGS_DPI_UNIT : 0.0;
}

// The Xft.dpi resource of the server's resource database (what xrdb loads),
// dots per inch; 0 where it is not set or is no number.
double resourceDpi(Display* display)
{
    const char* resources = XResourceManagerString(display);
    if (resources == nullptr)
        return 0.0;
    XrmInitialize();
    const XrmDatabase database = XrmGetStringDatabase(resources);
    char* type = nullptr;
    XrmValue value{};
    double dpi = 0.0;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) == True && value.addr != nullptr)
        dpi = std::strtod(value.addr, nullptr);
    XrmDestroyDatabase(database);
    return dpi;
}

} // namespace

double desktopDpi(const char* displayName)
{
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr)
        return DEFAULT_DPI;
    double dpi = settingsManagerDpi(display);
    if (!(dpi > 0.0))
        dpi = resourceDpi(display);
    XCloseDisplay(display);
    return dpi > 0.0 ? dpi : DEFAULT_DPI;
}

void followDesktopScale() {}

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
