// The program's icon as pixel tables built into the binary (the program reads
// no files). Made by scripts/make-icon.sh from the same picture as the icon
// that is installed for the desktop.
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
