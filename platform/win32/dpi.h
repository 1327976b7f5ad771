// Dots per inch and the sizes they ask for, on every Windows the program runs
// on (Vista and later): user32's per-monitor calls where Windows has them
// (Windows 10 version 1607 and later), else the system's DPI for every window.
// Looked up at run time, so that the exe loads where they are missing.
#pragma once

#include <windows.h>

// The system's DPI, dots per inch: that of the main monitor as it was when
// the user signed in, where windows open.
UINT systemDpi();

// The DPI of the monitor `window` is on, dots per inch (0 for no window); the
// system's where Windows keeps no DPI per window.
UINT windowDpi(HWND window);

// The system metric `index` (SM_CXICON...) at `dpi` dots per inch, pixels.
// Without the per-DPI call, the metric at the system's DPI scaled to `dpi`.
int systemMetricForDpi(int index, UINT dpi);

// Grow `rect`, a client rectangle in pixels, to the frame of a window with the
// styles at `dpi` dots per inch. Without the per-DPI call, the frame at the
// system's DPI: only the per-DPI calls give a window another DPI than that.
void frameAroundClient(RECT& rect, DWORD style, DWORD extendedStyle, UINT dpi);
