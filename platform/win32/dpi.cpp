// Dots per inch on Windows: user32's per-monitor calls where Windows has them,
// else the system's DPI.
#include "platform/win32/dpi.h"

namespace {

// user32's function `name` as a pointer of type `Pointer`; null where this
// Windows lacks it. user32 is loaded already: the program imports from it.
template <typename Pointer>
Pointer lookUp(const char* name)
{
    const FARPROC address = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    // Through the generic function pointer type: a direct cast between
    // function types of other signatures draws -Wcast-function-type.
    return reinterpret_cast<Pointer>(reinterpret_cast<void (*)()>(address));
}

// The per-monitor calls of Windows 10 version 1607 and later; each null where
// missing. decltype names their types without importing them.
struct PerMonitorCalls {
    decltype(&GetDpiForSystem) dpiForSystem = lookUp<decltype(&GetDpiForSystem)>("GetDpiForSystem");
    decltype(&GetDpiForWindow) dpiForWindow = lookUp<decltype(&GetDpiForWindow)>("GetDpiForWindow");
    decltype(&GetSystemMetricsForDpi) systemMetricsForDpi =
        lookUp<decltype(&GetSystemMetricsForDpi)>("GetSystemMetricsForDpi");
    decltype(&AdjustWindowRectExForDpi) adjustWindowRectExForDpi =
        lookUp<decltype(&AdjustWindowRectExForDpi)>("AdjustWindowRectExForDpi");
};

// Looked up on first use, once.
const PerMonitorCalls& perMonitorCalls()
{
    static const PerMonitorCalls calls;
    return calls;
}

// The screen's DPI as every version reports it to a DPI-aware program: the
// system's. 96 (100 %) should the screen have no device context.
UINT screenDpi()
{
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return USER_DEFAULT_SCREEN_DPI;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

UINT systemDpi()
{
    const auto dpiForSystem = perMonitorCalls().dpiForSystem;
    return dpiForSystem != nullptr ? dpiForSystem() : screenDpi();
}

UINT windowDpi(HWND window)
{
    if (window == nullptr)
        return 0;
    const auto dpiForWindow = perMonitorCalls().dpiForWindow;
    return dpiForWindow != nullptr ? dpiForWindow(window) : systemDpi();
}

int systemMetricForDpi(int index, UINT dpi)
{
    const auto systemMetricsForDpi = perMonitorCalls().systemMetricsForDpi;
    if (systemMetricsForDpi != nullptr)
        return systemMetricsForDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

void frameAroundClient(RECT& rect, DWORD style, DWORD extendedStyle, UINT dpi)
{
    const auto adjustWindowRectExForDpi = perMonitorCalls().adjustWindowRectExForDpi;
    if (adjustWindowRectExForDpi != nullptr)
        adjustWindowRectExForDpi(&rect, style, FALSE, extendedStyle, dpi);
    else
        AdjustWindowRectEx(&rect, style, FALSE, extendedStyle);
}
