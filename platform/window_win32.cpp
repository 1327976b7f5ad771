// The window's identity for the desktop on Windows: its icon, in the title bar
// and the taskbar. (The taskbar groups windows by program, so no class name is
// needed as on X11.) The icon is the one in the program's resources
// (packaging/windows/quorvale.rc), as Explorer shows it for the file.
#include "platform/platform.h"

#include <windows.h>

namespace {

// The icon group's name in the resources.
constexpr wchar_t ICON_RESOURCE[] = L"GLUT_ICON";

// The resource's picture nearest the size, in pixels, that the given system
// metric (SM_CXICON or SM_CXSMICON) names; null if there is none. Shared icons
// are freed by Windows with the program.
HICON loadIcon(int sizeMetric)
{
    const int size = GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), ICON_RESOURCE, IMAGE_ICON, size, size, LR_SHARED));
}

} // namespace

// The toolkit makes the new window's GL context current, so its device
// context names the window. Its class already has the large icon; the small
// one of the title bar is set here from its own picture instead of a scaled
// large one.
void nameWindow()
{
    const HWND window = WindowFromDC(wglGetCurrentDC());
    if (window == nullptr)
        return;
    const HICON largeIcon = loadIcon(SM_CXICON);
    const HICON smallIcon = loadIcon(SM_CXSMICON);
    if (largeIcon != nullptr)
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    if (smallIcon != nullptr)
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}
