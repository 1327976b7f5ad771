// The right-button menu on the page: the toolkit's menu calls, drawn as a
// list over the picture, kept inside the page. The browser's own context menu
// never opens here. A pick reaches the program from a task of its own, where
// the end of the program (Exit Application) is a normal end, not an error.
#include "platform/gl.h"

#include "platform/web/page.h"
#include "platform/web/popup_menu.h"

#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <cstdint>
#include <optional>

namespace {

PopupMenu menu;
// The program's menu callback, once a menu is created.
void (*menuCallback)(int) = nullptr;
// The value of each entry, in menu order.
constexpr int MAX_ENTRIES = 16;
int entryValues[MAX_ENTRIES] = {};

// Create the menu's list element (hidden) and keep the browser's context menu
// off the whole page.
EM_JS(void, createMenuElement, (double entryWidth, double entryHeight, double border), {
    var list = document.createElement('div');
    list.id = 'quorvale-menu';
    list.setAttribute('role', 'menu');
    list.style.cssText = 'position:fixed;display:none;z-index:10;background:#d9d9d9;color:#000;' +
        'font:16px sans-serif;border:' + border + 'px solid #888;width:' + entryWidth + 'px;' +
        'box-sizing:content-box;user-select:none;cursor:default';
    list.dataset.entryHeight = entryHeight;
    document.body.appendChild(list);
    document.addEventListener('contextmenu', function(event) { event.preventDefault(); });
});

EM_JS(void, addMenuElementEntry, (const char* label), {
    var list = document.getElementById('quorvale-menu');
    var entry = document.createElement('div');
    entry.setAttribute('role', 'menuitem');
    entry.textContent = UTF8ToString(label);
    entry.style.cssText = 'height:' + list.dataset.entryHeight + 'px;line-height:' +
        list.dataset.entryHeight + 'px;padding:0 8px;white-space:nowrap;overflow:hidden';
    list.appendChild(entry);
});

// Show the list with its corner at (x, y) page pixels, entry `highlighted`
// (-1: none) lit; or hide it.
EM_JS(void, showMenuElement, (int shown, double x, double y, int highlighted), {
    var list = document.getElementById('quorvale-menu');
    list.style.display = shown ? 'block' : 'none';
    list.style.left = x + 'px';
    list.style.top = y + 'px';
    for (var i = 0; i < list.children.length; i++) {
        list.children[i].style.background = i == highlighted ? '#3465a4' : "";
        list.children[i].style.color = i == highlighted ? '#fff' : "";
    }
});

// True if a press at (x, y) page pixels is on the picture; always while the
// picture holds the pointer locked (the press's place then stands where the
// lock began).
EM_JS(int, isOnPicture, (double x, double y), {
    var canvas = document.getElementById('canvas');
    return document.pointerLockElement === canvas || document.elementFromPoint(x, y) === canvas ? 1 : 0;
});

EM_JS(double, pageWidth, (), { return document.documentElement.clientWidth; });
EM_JS(double, pageHeight, (), { return document.documentElement.clientHeight; });

PagePoint pageSize()
{
    return {pageWidth(), pageHeight()};
}

// The picked entry's value reaches the program from a task of its own; the
// pointer layer hears of the closed menu after the program has acted on it
// (the mouse camera may have been switched off).
void deliverPick(void* value)
{
    if (menuCallback != nullptr)
        menuCallback(static_cast<int>(reinterpret_cast<std::intptr_t>(value)));
    menuClosed();
}

// Draw the menu as it stands, the entry under `pointer` lit, and hand on the
// entry picked, if any; tell the pointer layer when it opens or closes.
void showMenu(PagePoint pointer, std::optional<int> picked = std::nullopt)
{
    static bool shown = false;
    const bool open = menu.phase != MenuPhase::Closed;
    const std::optional<int> entry = entryAt(menu, pointer);
    showMenuElement(open, menu.origin.x, menu.origin.y, entry ? *entry : -1);
    if (picked) {
        const auto value = static_cast<std::intptr_t>(entryValues[*picked]);
        emscripten_set_timeout(deliverPick, 0.0, reinterpret_cast<void*>(value));
    }
    if (open != shown) {
        shown = open;
        if (open)
            menuOpened();
        else if (!picked)
            menuClosed();
    }
}

PagePoint pointOf(const EmscriptenMouseEvent* event)
{
    return {static_cast<double>(event->clientX), static_cast<double>(event->clientY)};
}

EM_BOOL onMouseDown(int, const EmscriptenMouseEvent* event, void*)
{
    const PagePoint at = pointOf(event);
    const bool onPicture = isOnPicture(at.x, at.y) != 0;
    const bool menusPress = pressMenu(menu, event->button, at, onPicture, pageSize());
    showMenu(at);
    if (!menusPress && event->button == LEFT_BUTTON && onPicture)
        pictureClicked();
    return menusPress;
}

EM_BOOL onMouseUp(int, const EmscriptenMouseEvent* event, void*)
{
    const PagePoint at = pointOf(event);
    const bool wasOpen = menu.phase != MenuPhase::Closed;
    // Opened under the lock, the menu stays open for a click: where the
    // release lies says nothing, the pointer having been locked at the press.
    if (menu.phase == MenuPhase::Dragging && lockLentToMenu()) {
        openMenu(menu, menu.pressedAt, pageSize());
        showMenu(at);
        return true;
    }
    showMenu(at, releaseMenu(menu, at));
    return wasOpen;
}

EM_BOOL onMouseMove(int, const EmscriptenMouseEvent* event, void*)
{
    if (menu.phase != MenuPhase::Closed)
        showMenu(pointOf(event));
    return EM_FALSE;
}

} // namespace

bool menuTakesEscape()
{
    const bool taken = escapeMenu(menu);
    if (taken)
        showMenu({});
    return taken;
}

void openMenuAt(double x, double y)
{
    openMenu(menu, {x, y}, pageSize());
    showMenu({x, y});
}

void tapMenu(double x, double y)
{
    const PagePoint at = {x, y};
    pressMenu(menu, LEFT_BUTTON, at, false, pageSize());
    showMenu(at, releaseMenu(menu, at));
}

// The one menu: entries follow, and it opens with the right button on the picture.
int glutCreateMenu(void (*callback)(int))
{
    menuCallback = callback;
    createMenuElement(MENU_ENTRY_WIDTH, MENU_ENTRY_HEIGHT, MENU_BORDER);
    return 1;
}

void glutAddMenuEntry(const char* label, int value)
{
    if (menu.entryCount == MAX_ENTRIES)
        return;
    entryValues[menu.entryCount++] = value;
    addMenuElementEntry(label);
}

// The menu opens with the right button only (the program attaches no other).
void glutAttachMenu(int)
{
    const char* page = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
    emscripten_set_mousedown_callback(page, nullptr, EM_TRUE, onMouseDown);
    emscripten_set_mouseup_callback(page, nullptr, EM_TRUE, onMouseUp);
    emscripten_set_mousemove_callback(page, nullptr, EM_FALSE, onMouseMove);
}
