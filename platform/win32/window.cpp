// The window's identity for the desktop on Windows: its icon, in the title bar
// and the taskbar. (The taskbar groups windows by program, so no class name is
// needed as on X11.) The icon is the one in the program's resources
// (packaging/windows/quorvale.rc), as Explorer shows it for the file. And the
// window's scale: the program is per-monitor DPI aware (its manifest), so
// Windows leaves the window's size to it, monitor by monitor.
#include "platform/platform.h"

#include "platform/win32/dpi.h"

#include <windows.h>

namespace {

// The icon group's name in the resources.
constexpr wchar_t ICON_RESOURCE[] = L"GLUT_ICON";

// The DPI that desktopDpi gave for the window to open at, dots per inch.
UINT openedAtDpi = USER_DEFAULT_SCREEN_DPI;
// The toolkit's handling of the window's messages; ours passes all others on.
WNDPROC toolkitProcedure = nullptr;
// The icons we set on the window, by slot (ICON_SMALL 0, ICON_BIG 1): ours to
// free once replaced.
HICON shownIcons[2] = {};

// The resource's icon at the size, in pixels, that the system metric
// (SM_CXICON or SM_CXSMICON) names at `dpi`; null if it cannot be loaded.
// The icon holds its own picture for each size of 100 to 200 % scale; at any
// other size Windows stretches the picture nearest in size. Loaded unshared: a
// shared load returns the picture first loaded under the name, whatever its size.
HICON loadIcon(int sizeMetric, UINT dpi)
{
    const int size = systemMetricForDpi(sizeMetric, dpi);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), ICON_RESOURCE, IMAGE_ICON, size, size, 0));
}

// Give the window its small icon (title bar, Alt+Tab) and large icon
// (taskbar) at the sizes that `dpi` dots per inch ask for; frees the ones set
// before.
void setIcons(HWND window, UINT dpi)
{
    const struct {
        WPARAM slot;
        int sizeMetric;
    } kinds[] = {{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}};
    for (const auto& kind : kinds) {
        const HICON icon = loadIcon(kind.sizeMetric, dpi);
        if (icon == nullptr)
            continue;
        SendMessageW(window, WM_SETICON, kind.slot, reinterpret_cast<LPARAM>(icon));
        if (shownIcons[kind.slot] != nullptr)
            DestroyIcon(shownIcons[kind.slot]);
        shownIcons[kind.slot] = icon;
    }
}

// Move and size the window to `frame`, screen pixels.
void placeWindow(HWND window, const RECT& frame, UINT flags)
{
    SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window moved to a monitor of another scale: it takes the rectangle that
// Windows suggests, which keeps its size to the eye, and icons of the new
// DPI. Everything else is the toolkit's.
LRESULT CALLBACK scaledWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_DPICHANGED)
        return IsWindowUnicode(window) ? CallWindowProcW(toolkitProcedure, window, message, wParam, lParam)
                                       : CallWindowProcA(toolkitProcedure, window, message, wParam, lParam);
    placeWindow(window, *reinterpret_cast<const RECT*>(lParam), 0);
    setIcons(window, HIWORD(wParam));
    return 0;
}

// The client size, pixels, that the toolkit asked for when it opened the
// window at `openedDpi`: it sized the frame around it with borders at that
// DPI (the system's), while Windows gives a window borders at its own DPI, so
// the client area measured now may be another.
SIZE askedClientSize(HWND window, UINT openedDpi)
{
    RECT opened = {};
    RECT borders = {};
    GetWindowRect(window, &opened);
    frameAroundClient(borders, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                      static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), openedDpi);
    return {(opened.right - opened.left) - (borders.right - borders.left),
            (opened.bottom - opened.top) - (borders.bottom - borders.top)};
}

// Give the window a client area of `size` pixels with borders at `dpi`,
// keeping its place. Where the borders Windows draws differ from those
// computed for `dpi` (Wine draws them at the system's DPI whatever the
// window's), the frame grows by the difference once.
void resizeClient(HWND window, SIZE size, UINT dpi)
{
    RECT frame = {0, 0, size.cx, size.cy};
    frameAroundClient(frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                      static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), dpi);
    placeWindow(window, frame, SWP_NOMOVE);
    RECT client = {};
    GetClientRect(window, &client);
    if (client.right == size.cx && client.bottom == size.cy)
        return;
    frame.right += size.cx - client.right;
    frame.bottom += size.cy - client.bottom;
    placeWindow(window, frame, SWP_NOMOVE);
}

// The toolkit makes the new window's GL context current, so its device
// context names the window.
HWND currentWindow()
{
    return WindowFromDC(wglGetCurrentDC());
}

} // namespace

// The system's DPI is that of the main monitor, where the window opens unless
// Windows is told otherwise; followDesktopScale mends the size elsewhere.
double desktopDpi(const char*)
{
    openedAtDpi = systemDpi();
    return openedAtDpi;
}

void followDesktopScale()
{
    const HWND window = currentWindow();
    if (window == nullptr)
        return;
    // The window keeps the character set the toolkit gave it.
    const auto procedure = reinterpret_cast<LONG_PTR>(&scaledWindowProcedure);
    toolkitProcedure = reinterpret_cast<WNDPROC>(IsWindowUnicode(window)
                                                     ? SetWindowLongPtrW(window, GWLP_WNDPROC, procedure)
                                                     : SetWindowLongPtrA(window, GWLP_WNDPROC, procedure));
    const UINT dpi = windowDpi(window);
    if (dpi == 0 || dpi == openedAtDpi || IsIconic(window))
        return;
    // Opened on a monitor of another scale than the main one: scaled as a
    // move there would scale it.
    const SIZE asked = askedClientSize(window, openedAtDpi);
    resizeClient(window,
                 {MulDiv(asked.cx, static_cast<int>(dpi), static_cast<int>(openedAtDpi)),
                  MulDiv(asked.cy, static_cast<int>(dpi), static_cast<int>(openedAtDpi))},
                 dpi);
}

// Its class already has the toolkit's large icon; both are set here at the
// window's DPI.
void nameWindow()
{
    const HWND window = currentWindow();
    if (window != nullptr)
        setIcons(window, windowDpi(window));
}
