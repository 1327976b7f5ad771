#include "platform/web/popup_menu.h"

#include <algorithm>
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

PagePoint menuSize(const PopupMenu& menu)
{
    return {MENU_ENTRY_WIDTH + 2 * MENU_BORDER, menu.entryCount * MENU_ENTRY_HEIGHT + 2 * MENU_BORDER};
}

namespace {

// Where the menu's corner goes for a press at `at`: there, or the menu flipped
// to the press's left or above it where it would run off the page, and kept
// on the page where it fits neither way.
PagePoint placeMenu(const PopupMenu& menu, PagePoint at, PagePoint page)
{
    const PagePoint size = menuSize(menu);
    const auto place = [](double press, double extent, double room) {
        if (press + extent <= room)
            return press;
        return std::max(0.0, std::min(press - extent, room - extent));
    };
    return {place(at.x, size.x, page.x), place(at.y, size.y, page.y)};
}

} // namespace

void openMenu(PopupMenu& menu, PagePoint at, PagePoint page)
{
    if (menu.entryCount == 0)
        return;
    menu.phase = MenuPhase::Open;
    menu.origin = placeMenu(menu, at, page);
    menu.pressedAt = at;
}

bool pressMenu(PopupMenu& menu, int button, PagePoint at, bool onPicture, PagePoint page)
{
    switch (menu.phase) {
    case MenuPhase::Closed:
        if (button != RIGHT_BUTTON || !onPicture || menu.entryCount == 0)
            return false;
        menu.phase = MenuPhase::Dragging;
        menu.origin = placeMenu(menu, at, page);
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
