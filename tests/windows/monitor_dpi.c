/* Prints the DPI Windows gives the main monitor to a per-monitor aware
 * program (as quorvale.exe declares itself), so the Wine tests know the scale
 * the program's window should open at. */
#include <windows.h>
#include <shellscalingapi.h>
#include <stdio.h>

int main(void)
{
    const POINT origin = {0, 0};
    UINT x = 0, y = 0;
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (GetDpiForMonitor(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), MDT_EFFECTIVE_DPI, &x, &y) != S_OK)
        return 1;
    printf("%u\n", x);
    return 0;
}
