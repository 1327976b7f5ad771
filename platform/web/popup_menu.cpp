#include "platform/web/popup_menu.h"

#include <cmath>

std::optional<int> entryAt(const PopupMenu& menu, PagePoint at)
{
    const double x = at.x - menu.origin.x - MENU_BORDER;
    const double y = at.y - menu.origin.y - MENU_BORDER;
    if (menu.phase == MenuPhase::Closed || x < 0.0 || x >= MENU_ENTRY_WIDTH || y < 0.0)
        return std::nullopt;
    const int entry = static_cast<int>(y / MENU_ENTRY_HEIGHT);
    if (entry >= menu.entryCount)
        return std::nullopt;
    return entry;
}

bool pressMenu(PopupMenu& menu, int button, PagePoint at, bool onPicture)
{
    switch (menu.phase) {
    case MenuPhase::Closed:
        if (button != RIGHT_BUTTON || !onPicture || menu.entryCount == 0)
            return false;
        menu.phase = MenuPhase::Dragging;
        menu.origin = at;
        menu.pressedAt = at;
        return true;
    case MenuPhase::Dragging:
        return true;
    case MenuPhase::Open:
        // A press on an entry waits for its release; anywhere else closes.
        if (!entryAt(menu, at))
            menu.phase = MenuPhase::Closed;
        return true;
    }
    return false;
}

std::optional<int> releaseMenu(PopupMenu& menu, PagePoint at)
{
    if (menu.phase == MenuPhase::Closed)
        return std::nullopt;
    const std::optional<int> entry = entryAt(menu, at);
    const bool click = menu.phase == MenuPhase::Dragging &&
                       std::hypot(at.x - menu.pressedAt.x, at.y - menu.pressedAt.y) <= MENU_CLICK_SLOP;
    if (click) {
        menu.phase = MenuPhase::Open;
        return std::nullopt;
    }
    if (entry || menu.phase == MenuPhase::Dragging)
        menu.phase = MenuPhase::Closed;
    return entry;
}

bool escapeMenu(PopupMenu& menu)
{
    const bool wasOpen = menu.phase != MenuPhase::Closed;
    menu.phase = MenuPhase::Closed;
    return wasOpen;
}
