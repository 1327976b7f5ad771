// The page as the program's window: its scale, its fit to the browser window,
// and the tick. Nothing may block in a browser, so the tick runs from a timer
// that keeps ticks at least 10 ms apart, and the sleep in the tick returns at
// once.
#include "platform/platform.h"

#include "platform/gl.h"
#include "platform/web/page.h"

#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double BASE_DPI = 96.0;        // dots per inch at a device pixel ratio of 1
constexpr double PAGE_WIDTH = 1280.0;    // page pixels the picture takes where there is room
constexpr double PAGE_HEIGHT = 720.0;    // page pixels
constexpr double TICK_PERIOD_MS = 10.0;  // the least time between two ticks

void (*idle)() = nullptr;
bool ticking = false;
double lastTickAt = -TICK_PERIOD_MS; // ms on the page's clock

// Page pixels left for the picture: the browser window less the line of
// text under the picture.
EM_JS(double, roomWidth, (), { return document.documentElement.clientWidth; });
EM_JS(double, roomHeight, (), {
    var note = document.getElementById('note');
    return window.innerHeight - (note ? note.offsetHeight : 0);
});

// Count the tick on the page (Module.ticks) and keep the least time between
// two ticks (Module.leastTickGapMs), for the benchmark to read.
EM_JS(void, countTick, (double now), {
    if (Module['lastTickAt'] !== undefined)
        Module['leastTickGapMs'] = Math.min(Module['leastTickGapMs'] || Infinity, now - Module['lastTickAt']);
    Module['lastTickAt'] = now;
    Module['ticks'] = (Module['ticks'] || 0) + 1;
});

// Give the picture its size in page pixels.
EM_JS(void, setPageSize, (double width, double height), {
    var style = document.documentElement.style;
    style.setProperty('--picture-width', width + 'px');
    style.setProperty('--picture-height', height + 'px');
});

// The picture takes 1280x720 page pixels, less where the browser window is
// smaller, at the device pixel ratio; the window pixels it holds then.
void fitPicture(int& width, int& height)
{
    const double pageWidth = std::max(1.0, std::min(PAGE_WIDTH, roomWidth()));
    const double pageHeight = std::max(1.0, std::min(PAGE_HEIGHT, roomHeight()));
    setPageSize(pageWidth, pageHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    width = static_cast<int>(std::lround(pageWidth * ratio));
    height = static_cast<int>(std::lround(pageHeight * ratio));
}

EM_BOOL onResize(int, const EmscriptenUiEvent*, void*)
{
    int width = 0;
    int height = 0;
    fitPicture(width, height);
    if (width != glutGet(GLUT_WINDOW_WIDTH) || height != glutGet(GLUT_WINDOW_HEIGHT))
        glutReshapeWindow(width, height);
    return EM_FALSE;
}

// One tick when at least TICK_PERIOD_MS passed since the last, then the timer
// again for when the next is due. A tick that ends the program leaves no
// timer behind.
void onTickTimer(void*)
{
    const double now = emscripten_get_now();
    if (now - lastTickAt >= TICK_PERIOD_MS && idle != nullptr) {
        lastTickAt = now;
        countTick(now);
        idle();
    }
    const double wait = lastTickAt + TICK_PERIOD_MS - emscripten_get_now();
    emscripten_set_timeout(onTickTimer, std::max(0.0, wait), nullptr);
}

} // namespace

// The tick, driven by a timer instead of the toolkit's back-to-back idle calls.
void glutIdleFunc(void (*callback)())
{
    idle = callback;
    if (!ticking && callback != nullptr) {
        ticking = true;
        emscripten_set_timeout(onTickTimer, 0.0, nullptr);
    }
}

// The page's own title names the program; there is no desktop entry to match.
void nameWindow()
{
}

double desktopDpi(const char*)
{
    return BASE_DPI * emscripten_get_device_pixel_ratio();
}

void followDesktopScale()
{
    int width = 0;
    int height = 0;
    fitPicture(width, height);
    glutInitWindowSize(width, height);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onResize);
}

// The tick's timer keeps its pace instead (a browser must never block).
void sleepMilliseconds(unsigned)
{
}
