// The right-button menu's behaviour, apart from how it is drawn (internal to
// platform/). It opens where the right button goes down on the picture (or
// where a finger asks for it), flipped left or up where it would not fit in
// the page, as desktop toolkits do. A
// release over an entry after the pointer moved picks that entry (press, drag,
// release); a release where it went down leaves the menu open, and a later
// click on an entry picks it (click, click). A press elsewhere, a drag released
// off the entries, or Escape closes it without a pick.
#pragma once

#include <optional>

// A point in page pixels (CSS pixels from the page's top-left corner).
struct PagePoint {
    double x;
    double y;
};

// Closed; Dragging (the opening press still held); Open (waiting for a click).
enum class MenuPhase { Closed, Dragging, Open };

// The menu's phase, where its top-left corner is and where its opening press was.
struct PopupMenu {
    MenuPhase phase = MenuPhase::Closed;
    PagePoint origin{};
    PagePoint pressedAt{};
    int entryCount = 0;
};

// Size of the drawn menu, page pixels: the page's style sheet draws the same.
constexpr double MENU_ENTRY_WIDTH = 260.0;
constexpr double MENU_ENTRY_HEIGHT = 26.0;
// The border round the entries. The menu's outer corner is at the opening
// press, which so lies on the border, not on the first entry.
constexpr double MENU_BORDER = 2.0;
// A release this close to the opening press is a click, not a drag.
constexpr double MENU_CLICK_SLOP = 4.0;

// Mouse buttons as the browser numbers them.
constexpr int LEFT_BUTTON = 0;
constexpr int RIGHT_BUTTON = 2;

// The entry (0-based) under `at`, if any.
std::optional<int> entryAt(const PopupMenu& menu, PagePoint at);

// The menu's outer size, page pixels.
PagePoint menuSize(const PopupMenu& menu);

// A button went down at `at` in a page of size `page`; `onPicture` tells
// whether it is over the picture. Returns true if the press was the menu's
// (it opened or closed it), so that the program does not see it.
bool pressMenu(PopupMenu& menu, int button, PagePoint at, bool onPicture, PagePoint page);

// Open the menu at `at` in a page of size `page`, waiting for a tap or click
// on an entry (a finger's long press, or the page's menu button).
void openMenu(PopupMenu& menu, PagePoint at, PagePoint page);

// A button came up at `at`: the entry picked, if any.
std::optional<int> releaseMenu(PopupMenu& menu, PagePoint at);

// Escape went down: true if it closed the menu (and so is the menu's).
bool escapeMenu(PopupMenu& menu);
