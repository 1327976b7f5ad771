#include "tests/support/xdriver.h"

#include "tests/support/program.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

namespace {

// Source indication of a request made on the user's behalf by a pager or tool.
constexpr long SOURCE_PAGER = 2;

// The error handler is one for the whole process, and a test may run the
// program in the same process: the driver must not change the program's
// error policy. So it traps errors only while one of its own calls runs, and
// only those of its own connection (a test asking about a window that has
// just gone sees a failed call); any other error goes on to the handler that
// was installed before.
Display* trappingDisplay = nullptr;
XErrorHandler handlerBeforeTrap = nullptr;

int reportOwnError(Display* display, XErrorEvent* error)
{
    if (display != trappingDisplay)
        return handlerBeforeTrap != nullptr ? handlerBeforeTrap(display, error) : 0;
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "X error ignored: %s (request %d)\n", text, error->request_code);
    return 0;
}

// Errors of the driver's connection are reported and absorbed while an
// ErrorTrap lives; the previous handler is back when it goes. Nested traps
// leave the outermost in charge.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : outermost_(trappingDisplay == nullptr && display != nullptr)
    {
        if (!outermost_)
            return;
        // Errors of requests sent before the trap are not the trap's to absorb.
        XSync(display, False);
        trappingDisplay = display;
        handlerBeforeTrap = XSetErrorHandler(reportOwnError);
    }
    ~ErrorTrap()
    {
        if (!outermost_)
            return;
        // Every reply and error of the requests made meanwhile comes in first.
        XSync(trappingDisplay, False);
        XSetErrorHandler(handlerBeforeTrap);
        trappingDisplay = nullptr;
        handlerBeforeTrap = nullptr;
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    bool outermost_;
};

// Depth-first search of the window tree for a viewable window with this title,
// the innermost where one holds another.
Window findByTitle(Display* display, Window parent, const std::string& title)
{
    Window root = 0;
    Window parentOut = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, parent, &root, &parentOut, &children, &count) == 0)
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable && XFetchName(display, children[i], &name) != 0 &&
            name != nullptr) {
            if (title == name)
                found = children[i];
        }
        if (name != nullptr)
            XFree(name);
        // A window manager's frame may carry its client's title (mutter's
        // do): the window searched for is then the one inside it.
        const Window inner = findByTitle(display, children[i], title);
        if (inner != 0)
            found = inner;
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

// A window named by a WINDOW property of another; 0 if there is none.
Window windowProperty(Display* display, Window window, Atom property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    Window found = 0;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format,
                           &count, &remaining, &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data != nullptr)
        found = *reinterpret_cast<Window*>(data);
    if (data != nullptr)
        XFree(data);
    return found;
}

unsigned channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0)
        ++shift;
    const unsigned long bits = mask >> shift;
    const unsigned long value = (pixel & mask) >> shift;
    return static_cast<unsigned>(value * 255u / bits);
}

} // namespace

bool Capture::savePpm(const std::string& path) const
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    const bool written = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    return std::fclose(file) == 0 && written;
}

XDriver::XDriver(const std::string& displayName)
    : display_(XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str())), input_(display_)
{
}

XDriver::~XDriver()
{
    if (input_ != nullptr && input_ != display_)
        XCloseDisplay(input_);
    if (display_ != nullptr)
        XCloseDisplay(display_);
}

bool XDriver::sendInputTo(const std::string& displayName)
{
    Display* input = XOpenDisplay(displayName.c_str());
    if (input == nullptr)
        return false;
    if (input_ != display_)
        XCloseDisplay(input_);
    input_ = input;
    return true;
}

void XDriver::offsetInput(int dx, int dy)
{
    inputDx_ = dx;
    inputDy_ = dy;
}

WindowId XDriver::findWindow(const std::string& title, int timeoutMs)
{
    Window window = 0;
    pollUntil([&] {
        // Windows come and go while the tree is searched.
        const ErrorTrap trap(display_);
        window = findByTitle(display_, DefaultRootWindow(display_), title);
        return window != 0;
    }, timeoutMs);
    return window;
}

WindowGeometry XDriver::geometry(WindowId window)
{
    const ErrorTrap trap(display_);
    WindowGeometry result;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, window, &attributes) == 0)
        return result;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &result.x,
                          &result.y, &child);
    result.width = attributes.width;
    result.height = attributes.height;
    return result;
}

bool XDriver::classShown(const std::string& windowClass)
{
    const ErrorTrap trap(display_);
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count) == 0)
        return false;
    bool shown = false;
    for (unsigned i = 0; i < count && !shown; ++i) {
        XClassHint hint{};
        XWindowAttributes attributes;
        if (XGetClassHint(display_, children[i], &hint) != 0) {
            shown = hint.res_class != nullptr && windowClass == hint.res_class &&
                    XGetWindowAttributes(display_, children[i], &attributes) != 0 &&
                    attributes.map_state == IsViewable;
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
    }
    if (children != nullptr)
        XFree(children);
    return shown;
}

bool XDriver::isViewable(WindowId window)
{
    const ErrorTrap trap(display_);
    XWindowAttributes attributes;
    return XGetWindowAttributes(display_, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

static bool sendKey(Display* display, const std::string& keysymName, bool down)
{
    const KeySym keysym = XStringToKeysym(keysymName.c_str());
    if (keysym == NoSymbol)
        return false;
    const KeyCode keycode = XKeysymToKeycode(display, keysym);
    if (keycode == 0)
        return false;
    XTestFakeKeyEvent(display, keycode, down ? True : False, CurrentTime);
    XFlush(display);
    return true;
}

bool XDriver::keyDown(const std::string& keysymName)
{
    return sendKey(input_, keysymName, true);
}

bool XDriver::keyUp(const std::string& keysymName)
{
    return sendKey(input_, keysymName, false);
}

void XDriver::movePointer(int rootX, int rootY)
{
    XTestFakeMotionEvent(input_, -1, rootX + inputDx_, rootY + inputDy_, CurrentTime);
    XFlush(input_);
}

void XDriver::movePointerBy(int dx, int dy)
{
    XTestFakeRelativeMotionEvent(input_, dx, dy, CurrentTime);
    XFlush(input_);
}

void XDriver::burst(const std::function<void()>& makeInput)
{
    XGrabServer(input_);
    makeInput();
    XUngrabServer(input_);
    XSync(input_, False);
}

void XDriver::movePointerIn(WindowId window, int x, int y)
{
    const WindowGeometry place = geometry(window);
    movePointer(place.x + x, place.y + y);
}

bool XDriver::pointerIn(WindowId window, int& x, int& y)
{
    const ErrorTrap trap(display_);
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    unsigned mask = 0;
    return XQueryPointer(display_, window, &root, &child, &rootX, &rootY, &x, &y, &mask) != 0;
}

void XDriver::buttonDown(unsigned button)
{
    XTestFakeButtonEvent(input_, button, True, CurrentTime);
    XFlush(input_);
}

void XDriver::buttonUp(unsigned button)
{
    XTestFakeButtonEvent(input_, button, False, CurrentTime);
    XFlush(input_);
}

void XDriver::focus(WindowId window)
{
    const ErrorTrap trap(display_);
    XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
    XSync(display_, False);
}

WindowId XDriver::focusedWindow()
{
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display_, &focus, &revertTo);
    return focus;
}

void XDriver::focusNone()
{
    const ErrorTrap trap(display_);
    XSetInputFocus(display_, None, RevertToNone, CurrentTime);
    XSync(display_, False);
}

WindowId XDriver::createWindow(int x, int y, int width, int height)
{
    const Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), x, y,
                                              static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), 0, 0, 0);
    // Placed where asked, as the user's choice, even by a window manager.
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = x;
    hints.y = y;
    hints.width = width;
    hints.height = height;
    XSetWMNormalHints(display_, window, &hints);
    XMapRaised(display_, window);
    XSync(display_, False);
    return window;
}

void XDriver::destroyWindow(WindowId window)
{
    const ErrorTrap trap(display_);
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

void XDriver::iconify(WindowId window)
{
    const ErrorTrap trap(display_);
    XIconifyWindow(display_, window, DefaultScreen(display_));
    // With no window manager to act on the request, unmap the window directly;
    // a window manager would take an unmapped window for one withdrawn.
    if (!windowManagerRunning())
        XUnmapWindow(display_, window);
    XSync(display_, False);
}

void XDriver::closeWindow(WindowId window)
{
    // What a window manager's close button does: the window manager asks the
    // window's program to close it (WM_DELETE_WINDOW).
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "_NET_CLOSE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = SOURCE_PAGER;
    XSendEvent(display_, DefaultRootWindow(display_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(display_, False);
}

bool XDriver::windowManagerRunning()
{
    // A window manager that follows the desktop conventions names a window of
    // its own on the root, and that window names itself the same way.
    const ErrorTrap trap(display_);
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    const Window onRoot = windowProperty(display_, DefaultRootWindow(display_), check);
    return onRoot != 0 && windowProperty(display_, onRoot, check) == onRoot;
}

bool XDriver::windowManagerAnswers()
{
    // A window manager names its check window while it is still starting up.
    // Openbox 3.6 may then take a request into a queue of its own, and it
    // looks into that queue only when another event wakes it: a window mapped
    // then stays unmapped for good on a server where nothing else happens.
    // Each request sent here is such an event, so the answer comes once its
    // event loop runs, whatever its start-up left waiting.
    const ErrorTrap trap(display_);
    const Atom extents = XInternAtom(display_, "_NET_FRAME_EXTENTS", False);
    if (probe_ == 0)
        probe_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const bool answered = XGetWindowProperty(display_, probe_, extents, 0, 4, False, AnyPropertyType, &type,
                                             &format, &count, &remaining, &data) == Success &&
                          type != None;
    if (data != nullptr)
        XFree(data);
    if (answered)
        return true;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = probe_;
    event.xclient.message_type = XInternAtom(display_, "_NET_REQUEST_FRAME_EXTENTS", False);
    event.xclient.format = 32;
    XSendEvent(display_, DefaultRootWindow(display_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    return false;
}

void XDriver::restore(WindowId window)
{
    const ErrorTrap trap(display_);
    XMapRaised(display_, window);
    XSync(display_, False);
}

void XDriver::resize(WindowId window, int width, int height)
{
    const ErrorTrap trap(display_);
    XResizeWindow(display_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display_, False);
}

bool XDriver::cursorHidden()
{
    XFixesCursorImage* image = XFixesGetCursorImage(display_);
    if (image == nullptr)
        return false;
    bool transparent = true;
    const std::size_t count = static_cast<std::size_t>(image->width) * image->height;
    for (std::size_t i = 0; i < count && transparent; ++i)
        transparent = (image->pixels[i] >> 24) == 0;
    XFree(image);
    return transparent;
}

Capture XDriver::capture(WindowId window)
{
    const ErrorTrap trap(display_);
    // Read the window's area of the screen from the root window, clipped to the
    // screen: reading a window that lies partly off the screen is an X error.
    // Pixels off the screen stay black; capture coordinates are window pixels.
    Capture result;
    const WindowGeometry place = geometry(window);
    if (place.width <= 0 || place.height <= 0)
        return result;
    result.width = place.width;
    result.height = place.height;
    result.rgb.assign(static_cast<std::size_t>(place.width) * place.height * 3, 0);
    const int screenWidth = DisplayWidth(display_, DefaultScreen(display_));
    const int screenHeight = DisplayHeight(display_, DefaultScreen(display_));
    const int left = place.x < 0 ? 0 : place.x;
    const int top = place.y < 0 ? 0 : place.y;
    const int right = place.x + place.width > screenWidth ? screenWidth : place.x + place.width;
    const int bottom = place.y + place.height > screenHeight ? screenHeight : place.y + place.height;
    if (right <= left || bottom <= top)
        return result;
    // A rootless Xwayland (read here, input going elsewhere) shows nothing of
    // its windows on its root: there the window itself is read.
    const bool rootless = input_ != display_;
    XImage* image = XGetImage(display_, rootless ? window : DefaultRootWindow(display_),
                              rootless ? left - place.x : left, rootless ? top - place.y : top,
                              static_cast<unsigned>(right - left),
                              static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap);
    if (image == nullptr)
        return result;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const unsigned long pixel = XGetPixel(image, x - left, y - top);
            std::size_t out =
                (static_cast<std::size_t>(y - place.y) * place.width + (x - place.x)) * 3;
            result.rgb[out++] = static_cast<std::uint8_t>(channel(pixel, image->red_mask));
            result.rgb[out++] = static_cast<std::uint8_t>(channel(pixel, image->green_mask));
            result.rgb[out] = static_cast<std::uint8_t>(channel(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return result;
}

void XDriver::sync()
{
    if (input_ != display_)
        XSync(input_, False);
    XSync(display_, False);
}
