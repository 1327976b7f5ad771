// The program's icon as pixel tables built into the binary (the program reads
// no files). The build makes them from the pictures in packaging/icons/, which
// scripts/make-icon.sh makes from the same picture as the installed icon.
#pragma once

#include <cstdint>

// One square icon: width x height pixels, 0xAARRGGBB, rows from the top.
struct WindowIcon {
    int width;   // pixels
    int height;  // pixels
    const std::uint32_t* argb;
};

constexpr int WINDOW_ICON_COUNT = 2;
// Largest first.
extern const WindowIcon windowIcons[WINDOW_ICON_COUNT];
