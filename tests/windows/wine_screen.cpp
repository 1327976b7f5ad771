#include "tests/windows/wine_screen.h"

#include "tests/support/scene_view.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>

namespace {

// Two captures differ at a pixel when a channel changes by more than this.
constexpr int PIXEL_CHANGE = 24;
// Pixels this close to the torus in either capture do not count: it spins.
constexpr int TORUS_MARGIN = 6;
// Enough of _NET_WM_ICON for any icon set a window carries.
constexpr long ICON_PROPERTY_LONGS = 1L << 20;

// Pixels of the torus in either capture, widened by TORUS_MARGIN.
std::vector<bool> torusArea(const Capture& first, const Capture& second)
{
    const int width = first.width;
    const int height = first.height;
    std::vector<bool> rows(static_cast<std::size_t>(width) * height, false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool near = false;
            for (int dx = -TORUS_MARGIN; dx <= TORUS_MARGIN && !near; ++dx) {
                const int nx = x + dx;
                if (nx < 0 || nx >= width)
                    continue;
                near = isTorusBlue(first.red(nx, y), first.green(nx, y), first.blue(nx, y)) ||
                       isTorusBlue(second.red(nx, y), second.green(nx, y), second.blue(nx, y));
            }
            rows[static_cast<std::size_t>(y) * width + x] = near;
        }
    std::vector<bool> area(rows.size(), false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int dy = -TORUS_MARGIN; dy <= TORUS_MARGIN; ++dy) {
                const int ny = y + dy;
                if (ny >= 0 && ny < height && rows[static_cast<std::size_t>(ny) * width + x]) {
                    area[static_cast<std::size_t>(y) * width + x] = true;
                    break;
                }
            }
    return area;
}

} // namespace

long changesAwayFromTorus(const Capture& first, const Capture& second)
{
    if (first.width != second.width || first.height != second.height || first.width == 0)
        return -1;
    const std::vector<bool> torus = torusArea(first, second);
    long changed = 0;
    for (int y = 0; y < first.height; ++y)
        for (int x = 0; x < first.width; ++x) {
            if (torus[static_cast<std::size_t>(y) * first.width + x])
                continue;
            if (std::abs(first.red(x, y) - second.red(x, y)) > PIXEL_CHANGE ||
                std::abs(first.green(x, y) - second.green(x, y)) > PIXEL_CHANGE ||
                std::abs(first.blue(x, y) - second.blue(x, y)) > PIXEL_CHANGE)
                ++changed;
        }
    return changed;
}


// _NET_WM_ICON holds, for each icon, its width, its height, then its pixels,
// each as a C long.
std::vector<unsigned long> windowIconPixels(const std::string& displayName, WindowId window, int size)
{
    std::vector<unsigned long> pixels;
    Display* display = XOpenDisplay(displayName.c_str());
    if (display == nullptr)
        return pixels;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const Atom netWmIcon = XInternAtom(display, "_NET_WM_ICON", False);
    if (XGetWindowProperty(display, window, netWmIcon, 0, ICON_PROPERTY_LONGS, False, XA_CARDINAL,
                           &type, &format, &count, &remaining, &data) == Success &&
        data != nullptr && format == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long at = 0; at + 2 <= count;) {
            const unsigned long width = values[at];
            const unsigned long height = values[at + 1];
            at += 2;
            if (width == static_cast<unsigned long>(size) && height == width && at + width * height <= count)
                pixels.assign(values + at, values + at + width * height);
            at += width * height;
        }
    }
    if (data != nullptr)
        XFree(data);
    XCloseDisplay(display);
    return pixels;
}
