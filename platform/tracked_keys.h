// The keys the program polls (internal to platform/).
#pragma once

#include "platform/platform.h"

// True for the virtual-key codes the program tracks: Escape, the arrows, Home,
// End, right Shift and the letters; every other code reads as released.
inline bool isTrackedKey(int virtualKey)
{
    switch (virtualKey) {
    case VK_ESCAPE: case VK_END: case VK_HOME: case VK_LEFT:
    case VK_UP: case VK_RIGHT: case VK_DOWN: case VK_RSHIFT:
        return true;
    default:
        return virtualKey >= 'A' && virtualKey <= 'Z';
    }
}
