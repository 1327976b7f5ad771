// Finding the tank in a captured frame of the running program.
#pragma once

#include "tests/support/xdriver.h"

// The largest patch of the tank's dark grey: pixels of nearly equal red, green
// and blue, neither black nor bright, whose whole neighbourhood is such too
// (so that thin grid lines and the edges of other objects do not count).
struct TankBlob {
    int pixels = 0;
    double x = 0; // centroid, window pixels from the left
    double y = 0; // centroid, window pixels from the top
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int width() const { return right - left + 1; }
};
TankBlob findTank(const Capture& frame);
