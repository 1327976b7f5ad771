// What the Windows tests read from the screen and the window system: motion
// away from the spinning torus, and the window's icon.
#pragma once

#include "tests/support/xdriver.h"

#include <string>
#include <vector>

// Pixels that differ between two captures of the window away from the torus,
// which spins; -1 if the captures do not match in size.
long changesAwayFromTorus(const Capture& first, const Capture& second);

// Pixels of the window's icon of the given size as the window manager on the
// display reads them (_NET_WM_ICON, 0xAARRGGBB each); empty if there is none
// of that size.
std::vector<unsigned long> windowIconPixels(const std::string& display, WindowId window, int size);
