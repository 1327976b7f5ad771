// Keyboard-focus watch through a connection of our own to the X server. The
// toolkit reports no focus changes, and selecting them on its own connection
// would replace its event mask, so a second connection listens instead.
// The watcher asks about windows of other programs (the pointer's window
// chain, the window manager's frames round ours), any of which may be
// destroyed between two of its requests: the error that follows only means
// that window is gone, so it must never end the program.
#include "platform/x11/focus.h"

#include "platform/x11/letter_keys.h"
#include "platform/platform.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

Display* focusDisplay = nullptr;
Window watchedWindow = 0;
// True once the letter keys are read by keycode on this connection.
bool lettersReadHere = false;
// The X error handler that was installed before the watcher's own.
XErrorHandler handlerBeforeWatch = nullptr;

// Errors caused by the watcher's requests on its own connection are expected
// and absorbed: the request that drew one reports failure, and the window it
// asked about counts as not ours. Every other error goes on to the handler
// installed before, as if the watcher were not there.
int onXError(Display* display, XErrorEvent* error)
{
    if (display == focusDisplay)
        return 0;
    return handlerBeforeWatch != nullptr ? handlerBeforeWatch(display, error) : 0;
}

// True while the keyboard focus is set on our window itself. Otherwise (the
// focus follows the pointer, as with PointerRoot or the root window) key
// events go to whichever window the pointer is in.
bool focusIsOurs()
{
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(focusDisplay, &focus, &revertTo);
    return focus == watchedWindow;
}

} // namespace

void watchFocus()
{
    Display* toolkitDisplay = glXGetCurrentDisplay();
    // The toolkit makes the new window's context current, so its drawable is the window.
    const Window window = glXGetCurrentDrawable();
    if (toolkitDisplay == nullptr || window == 0 || focusDisplay != nullptr)
        return;
    focusDisplay = XOpenDisplay(DisplayString(toolkitDisplay));
    if (focusDisplay == nullptr)
        return;
    handlerBeforeWatch = XSetErrorHandler(onXError);
    watchedWindow = window;
    lettersReadHere = watchLetterKeys(focusDisplay);
    // Several clients may hear one window's keys: the toolkit keeps its own.
    const long keyMask = lettersReadHere ? KeyPressMask | KeyReleaseMask : NoEventMask;
    XSelectInput(focusDisplay, window,
                 FocusChangeMask | StructureNotifyMask | LeaveWindowMask | keyMask);
    XFlush(focusDisplay);
}

bool pollFocusLost()
{
    if (focusDisplay == nullptr)
        return false;
    bool lost = false;
    bool pointerLeft = false;
    while (XPending(focusDisplay) > 0) {
        XEvent event;
        XNextEvent(focusDisplay, &event);
        if (takeKeymapEvent(event))
            continue;
        // Keys come in the same stream as the focus changes, in the order they happened.
        if (event.type == KeyPress || event.type == KeyRelease)
            takeLetterKeyEvent(event.xkey);
        // Focus moving to a child of ours keeps the keyboard with us; every
        // other loss (another window, a grab, unmapping) takes it away.
        if (event.type == FocusOut && event.xfocus.detail != NotifyInferior)
            lost = true;
        if (event.type == UnmapNotify)
            lost = true;
        // A grab of the keyboard by someone else leaves the focus set on us, but
        // keys let go meanwhile went to the grabber: look again when it ends.
        if (event.type == FocusIn && event.xfocus.mode == NotifyUngrab)
            lost = true;
        // The pointer going into another window (our own pop-up menu among
        // them) takes the keyboard with it unless the focus is set on us.
        if (event.type == LeaveNotify && event.xcrossing.detail != NotifyInferior)
            pointerLeft = true;
    }
    return lost || (pointerLeft && !focusIsOurs());
}

bool lettersByKeycode()
{
    return lettersReadHere;
}

namespace {

// The keys (by keysym) that stand for one virtual key; a keypad twin counts
// the same as the key itself, as the toolkit reports both alike.
struct KeyKeysyms {
    int virtualKey;
    KeySym main;
    KeySym twin;
};
constexpr KeyKeysyms keyKeysyms[] = {
    {VK_ESCAPE, XK_Escape, NoSymbol}, {VK_END, XK_End, XK_KP_End},
    {VK_HOME, XK_Home, XK_KP_Home},   {VK_LEFT, XK_Left, XK_KP_Left},
    {VK_UP, XK_Up, XK_KP_Up},         {VK_RIGHT, XK_Right, XK_KP_Right},
    {VK_DOWN, XK_Down, XK_KP_Down},   {VK_RSHIFT, XK_Shift_R, NoSymbol},
};

bool keysymDown(const char keys[32], KeySym keysym)
{
    const KeyCode code = keysym == NoSymbol ? 0 : XKeysymToKeycode(focusDisplay, keysym);
    return code != 0 && (keys[code / 8] & (1 << (code % 8))) != 0;
}

// True if `window` is an ancestor of our window (a window manager's frame,
// or the root).
bool isAncestorOfOurs(Window window)
{
    Window at = watchedWindow;
    for (;;) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(focusDisplay, at, &root, &parent, &children, &count) == 0)
            return false;
        if (children != nullptr)
            XFree(children);
        if (parent == window)
            return true;
        if (parent == 0 || parent == root)
            return false;
        at = parent;
    }
}

// True if the pointer is over our window and not over anything stacked above it.
bool pointerOverOurs()
{
    Window at = DefaultRootWindow(focusDisplay);
    for (;;) {
        Window root = 0;
        Window child = 0;
        int rootX = 0;
        int rootY = 0;
        int x = 0;
        int y = 0;
        unsigned mask = 0;
        if (XQueryPointer(focusDisplay, at, &root, &child, &rootX, &rootY, &x, &y, &mask) == 0 ||
            child == 0)
            return false;
        if (child == watchedWindow)
            return true;
        at = child;
    }
}

} // namespace

KeyReading readKeyOnKeyboard(int virtualKey)
{
    if (focusDisplay == nullptr)
        return KeyReading::Unknown;
    char keys[32];
    if (lettersReadHere && virtualKey >= 'A' && virtualKey <= 'Z') {
        XQueryKeymap(focusDisplay, keys);
        return letterDownIn(keys, virtualKey) ? KeyReading::Down : KeyReading::Up;
    }
    KeySym main = NoSymbol;
    KeySym twin = NoSymbol;
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        main = XK_a + static_cast<KeySym>(virtualKey - 'A');
    for (const KeyKeysyms& entry : keyKeysyms) {
        if (entry.virtualKey == virtualKey) {
            main = entry.main;
            twin = entry.twin;
        }
    }
    if (main == NoSymbol || XKeysymToKeycode(focusDisplay, main) == 0)
        return KeyReading::Unknown;
    XQueryKeymap(focusDisplay, keys);
    return keysymDown(keys, main) || keysymDown(keys, twin) ? KeyReading::Down : KeyReading::Up;
}

bool watchSeesWindow(unsigned long window)
{
    XWindowAttributes attributes;
    return focusDisplay != nullptr && XGetWindowAttributes(focusDisplay, window, &attributes) != 0;
}

bool haveKeyboardNow()
{
    if (focusDisplay == nullptr)
        return false;
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(focusDisplay, &focus, &revertTo);
    if (focus == watchedWindow)
        return true;
    if (focus == None)
        return false;
    // Keys go to the window under the pointer when that is inside the focus window.
    if (focus != PointerRoot && !isAncestorOfOurs(focus))
        return false;
    return pointerOverOurs();
}
