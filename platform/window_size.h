// The program's window size, shared by the start-up that opens the window and
// the mouse look that keeps the pointer in it.
#pragma once

// The window's size in pixels.
struct WindowSize {
    int width;
    int height;
};
