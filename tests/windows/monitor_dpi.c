/* Prints the DPI Windows gives the main monitor to a per-monitor aware
 * program (as quorvale.exe declares itself), so the Wine tests know the scale
 * the program's window should open at. Given a window's title, it adds that
 * window's client size as Windows holds it ("192 2560x1440"): the area the
 * program draws in, which Wine may frame in an X window of another size. */
#include <windows.h>
#include <shellscalingapi.h>
#include <stdio.h>

int main(int argc, char** argv)
{
    const POINT origin = {0, 0};
    UINT x = 0, y = 0;
    HWND window;
    RECT client;
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (GetDpiForMonitor(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), MDT_EFFECTIVE_DPI, &x, &y) != S_OK)
        return 1;
    if (argc < 2) {
        printf("%u\n", x);
        return 0;
    }
    window = FindWindowA(NULL, argv[1]);
    if (window == NULL || !GetClientRect(window, &client))
        return 1;
    printf("%u %ldx%ld\n", x, client.right, client.bottom);
    return 0;
}
