// The window's identity for the desktop on Windows: its icon, in the title bar
// and the taskbar. (The taskbar groups windows by program, so no class name is
// needed as on X11.)
#include "platform/platform.h"

#include "platform/window_icon.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

constexpr WORD ICON_BITS_PER_PIXEL = 32;

// An icon from one of the pixel tables: 0xAARRGGBB in memory is the blue,
// green, red, alpha byte order of a 32-bit bitmap, rows from the top. With
// alpha in the colour bitmap, the mask only has to be there; it is left clear.
HICON makeIcon(const WindowIcon& icon)
{
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = icon.width;
    format.bmiHeader.biHeight = -icon.height;  // negative: rows from the top
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = ICON_BITS_PER_PIXEL;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (colour == nullptr || bits == nullptr)
        return nullptr;
    std::memcpy(bits, icon.argb, static_cast<std::size_t>(icon.width) * icon.height * sizeof(std::uint32_t));
    // Monochrome rows are padded to whole 16-bit words.
    const std::size_t maskRowBytes = static_cast<std::size_t>((icon.width + 15) / 16) * 2;
    const std::vector<unsigned char> clear(maskRowBytes * static_cast<std::size_t>(icon.height), 0);
    HBITMAP mask = CreateBitmap(icon.width, icon.height, 1, 1, clear.data());
    ICONINFO parts = {};
    parts.fIcon = TRUE;
    parts.hbmMask = mask;
    parts.hbmColor = colour;
    HICON result = mask != nullptr ? CreateIconIndirect(&parts) : nullptr;
    if (mask != nullptr)
        DeleteObject(mask);
    DeleteObject(colour);
    return result;
}

} // namespace

// The toolkit makes the new window's GL context current, so its device
// context names the window. The icons live as long as the process.
void nameWindow()
{
    const HWND window = WindowFromDC(wglGetCurrentDC());
    if (window == nullptr)
        return;
    const HICON largeIcon = makeIcon(windowIcons[0]);
    const HICON smallIcon = makeIcon(windowIcons[WINDOW_ICON_COUNT - 1]);
    if (largeIcon != nullptr)
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    if (smallIcon != nullptr)
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}
