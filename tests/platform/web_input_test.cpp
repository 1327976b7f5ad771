// The browser platform's pure rules: which key an event stands for, and how
// the right-button menu answers presses and releases.
#include "platform/platform.h"
#include "platform/web/key_names.h"
#include "platform/web/popup_menu.h"

#include <gtest/gtest.h>

namespace {

TEST(WebKeys, LettersByLabelOnLatinLayoutsByPlaceOtherwise)
{
    struct Row {
        const char* key;
        const char* code;
        int expected;
    };
    const Row rows[] = {
        {"w", "KeyW", 'W'},          {"W", "KeyW", 'W'},        // Shift or Caps Lock
        {"a", "KeyQ", 'A'},          {"q", "KeyA", 'Q'},        // AZERTY: by label
        {"m", "Semicolon", 'M'},     {",", "KeyM", 0},          // AZERTY punctuation takes no letter
        {"z", "KeyY", 'Z'},          {"\xC3\xBC", "BracketLeft", 0}, // QWERTZ; u-umlaut at no letter place
        {"\xD1\x86", "KeyW", 'W'},   {"\xCF\x89", "KeyV", 'V'}, // Russian tse, Greek omega: by place
        {"Dead", "KeyE", 0},         {"Process", "KeyW", 'W'},  // dead keys are no letters; an input
        {"Unidentified", "KeyA", 'A'}, {"Process", "Digit1", 0}, // method's keys go by place
        {"Shift", "ShiftRight", VK_RSHIFT}, {"Shift", "ShiftLeft", 0}, {"1", "Digit1", 0},
        {"ArrowUp", "ArrowUp", VK_UP}, {"ArrowLeft", "Numpad4", VK_LEFT}, {"Home", "Home", VK_HOME},
        {"End", "End", VK_END},      {"Escape", "Escape", VK_ESCAPE}, {"", "KeyW", 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(virtualKeyOfEvent(row.key, row.code), row.expected) << row.key << " at " << row.code;
}

constexpr PagePoint PAGE = {1280, 760};

// Over the middle of entry `index` of a menu opened at `at`.
PagePoint overEntry(PagePoint at, int index) { return {at.x + 100, at.y + (index + 0.5) * MENU_ENTRY_HEIGHT}; }

TEST(WebMenu, OpensByDragOrClickAndClosesWithoutAPickElsewhere)
{
    const PagePoint at{100, 100};
    const auto opened = [&] {
        PopupMenu menu;
        menu.entryCount = 5;
        EXPECT_TRUE(pressMenu(menu, RIGHT_BUTTON, at, true, PAGE));
        return menu;
    };
    // Press, drag, release over an entry picks it.
    PopupMenu menu = opened();
    EXPECT_EQ(releaseMenu(menu, overEntry(at, 3)), 3);
    EXPECT_EQ(menu.phase, MenuPhase::Closed);
    // Click, click: the first release stays open, the click on an entry picks.
    menu = opened();
    EXPECT_EQ(releaseMenu(menu, {at.x + 1, at.y + 1}), std::nullopt);
    EXPECT_EQ(menu.phase, MenuPhase::Open);
    EXPECT_TRUE(pressMenu(menu, LEFT_BUTTON, overEntry(at, 4), true, PAGE));
    EXPECT_EQ(releaseMenu(menu, overEntry(at, 4)), 4);
    // Open: a press elsewhere closes it and is the menu's, no pick follows.
    menu = opened();
    releaseMenu(menu, at);
    EXPECT_TRUE(pressMenu(menu, LEFT_BUTTON, {at.x + MENU_ENTRY_WIDTH + 20, at.y}, true, PAGE));
    EXPECT_EQ(menu.phase, MenuPhase::Closed);
    EXPECT_EQ(releaseMenu(menu, overEntry(at, 0)), std::nullopt);
    // A drag released off the entries closes it; below the last entry is off.
    menu = opened();
    EXPECT_EQ(releaseMenu(menu, overEntry(at, 5)), std::nullopt);
    EXPECT_EQ(menu.phase, MenuPhase::Closed);
    // Escape closes an open menu and is the menu's; with none open it is not.
    menu = opened();
    EXPECT_TRUE(escapeMenu(menu));
    EXPECT_FALSE(escapeMenu(menu));
    // Only the right button on the picture opens it.
    EXPECT_FALSE(pressMenu(menu, LEFT_BUTTON, at, true, PAGE) || pressMenu(menu, RIGHT_BUTTON, at, false, PAGE));
}

// Near the page's edges the menu opens to the press's left and above it (the
// page's test opens it at the corner); a page narrower than the menu gets it
// from its left edge.
TEST(WebMenu, KeepsInsideThePage)
{
    PopupMenu menu;
    menu.entryCount = 5;
    EXPECT_TRUE(pressMenu(menu, RIGHT_BUTTON, {100, 700}, true, PAGE));
    EXPECT_EQ(menu.origin.y, 700 - menuSize(menu).y);
    openMenu(menu, {150, 20}, {200, 400});
    EXPECT_EQ(menu.origin.x, 0.0);
    EXPECT_EQ(menu.phase, MenuPhase::Open);
}

} // namespace

