// The window's identity for the desktop on X11: WM_CLASS and _NET_WM_ICON,
// set on the toolkit's own connection; and the desktop's scale, read as the
// desktop's own GTK and Qt programs read it.
#include "platform/platform.h"

#include "platform/window_icon.h"
#include "platform/xsettings_x11.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// XSETTINGS: the byte order (0 least significant byte first, 1 most), three
// bytes unused, the serial, the count of settings; then each setting: its
// type, one byte unused, its name's length (16 bits), its name padded to 4
// bytes, the serial of its last change, and its value: an integer of 32 bits,
// a string's length (32 bits) and bytes padded to 4, or a colour.
constexpr std::size_t CARD16_BYTES = 2;
constexpr std::size_t CARD32_BYTES = 4;
constexpr std::size_t SETTINGS_HEADER_BYTES = 12;
constexpr std::size_t SETTINGS_COUNT_AT = 8;
constexpr std::size_t SETTING_HEAD_BYTES = 4;
constexpr std::size_t SETTING_NAME_LENGTH_AT = 2;
enum SettingType : unsigned char { SETTING_INTEGER = 0, SETTING_STRING = 1, SETTING_COLOR = 2 };
constexpr std::size_t COLOR_BYTES = 8;  // four 16-bit channels

std::size_t paddedTo4(std::size_t length)
{
    return (length + 3) & ~static_cast<std::size_t>(3);
}

// An unsigned number of `bytes` bytes at `at`, in the property's byte order.
std::uint32_t readNumber(const unsigned char* data, std::size_t at, std::size_t bytes, bool mostFirst)
{
    std::uint32_t number = 0;
    for (std::size_t index = 0; index < bytes; ++index)
        number = number << 8 | data[at + (mostFirst ? index : bytes - 1 - index)];
    return number;
}

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

bool xsettingsInteger(const unsigned char* data, std::size_t size, const char* name, std::int32_t& value)
{
    if (size < SETTINGS_HEADER_BYTES)
        return false;
    const bool mostFirst = data[0] == MSBFirst;
    const std::uint32_t count = readNumber(data, SETTINGS_COUNT_AT, CARD32_BYTES, mostFirst);
    const std::size_t nameLength = std::strlen(name);
    std::size_t at = SETTINGS_HEADER_BYTES;
    // Every step is checked against what is left, so `at` never passes `size`.
    for (std::uint32_t setting = 0; setting < count; ++setting) {
        if (size - at < SETTING_HEAD_BYTES)
            return false;
        const unsigned type = data[at];
        const std::size_t length = readNumber(data, at + SETTING_NAME_LENGTH_AT, CARD16_BYTES, mostFirst);
        at += SETTING_HEAD_BYTES;
        if (size - at < paddedTo4(length) + CARD32_BYTES)
            return false;
        const bool named = length == nameLength && std::memcmp(data + at, name, length) == 0;
        at += paddedTo4(length) + CARD32_BYTES;
        std::size_t valueBytes = 0;
        if (type == SETTING_INTEGER) {
            valueBytes = CARD32_BYTES;
        } else if (type == SETTING_COLOR) {
            valueBytes = COLOR_BYTES;
        } else if (type == SETTING_STRING && size - at >= CARD32_BYTES) {
            const std::uint32_t textLength = readNumber(data, at, CARD32_BYTES, mostFirst);
            if (textLength > size)
                return false;
            valueBytes = CARD32_BYTES + paddedTo4(textLength);
        } else {
            return false;
        }
        if (size - at < valueBytes)
            return false;
        if (named && type == SETTING_INTEGER) {
            value = static_cast<std::int32_t>(readNumber(data, at, CARD32_BYTES, mostFirst));
            return true;
        }
        at += valueBytes;
    }
    return false;
}

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
