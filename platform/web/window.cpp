// The page as the program's window: its scale, its fit to the browser window,
// the tick, and the WebGL context coming and going. Nothing may block in a
// browser, so the sleep in the tick returns at once, and the ticks that are
// due run in fixed steps of 10 ms of the page's clock, from a timer and from
// every frame: browsers fire timers late while they draw frames, and the
// tick must not slow down with the frame rate.
#include "platform/platform.h"

#include "platform/gl.h"
#include "platform/web/page.h"

#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>
#include <emscripten/html5_webgl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double BASE_DPI = 96.0;        // dots per inch at a device pixel ratio of 1
constexpr double PAGE_WIDTH = 1280.0;    // page pixels the picture takes where there is room
constexpr double PAGE_HEIGHT = 720.0;    // page pixels
constexpr double TICK_PERIOD_MS = 10.0;  // page clock per tick
// Ticks run at once at the most: a page that was hidden or frozen resumes at
// the normal pace instead of making up for the time in one burst.
constexpr int MOST_TICKS_AT_ONCE = 4;
// A picture on a touch screen held upright keeps at most this height per
// width, the rest of the screen left to the controls.
constexpr double UPRIGHT_HEIGHT_PER_WIDTH = 9.0 / 16.0;

void (*idle)() = nullptr;
bool ticking = false;
double nextTickAt = 0.0; // ms on the page's clock

// Page pixels left for the picture: the browser window less the line of
// text under the picture.
EM_JS(double, roomWidth, (), { return document.documentElement.clientWidth; });
EM_JS(double, roomHeight, (), {
    var note = document.getElementById('note');
    return window.innerHeight - (note ? note.offsetHeight : 0);
});

// Count the tick on the page (Module.ticks) and keep how far the ticks ever
// ran ahead of one per 10 ms since the first was due (Module.ticksAhead),
// for the benchmark to read.
EM_JS(void, countTick, (double now, double due), {
    if (Module['firstTickAt'] === undefined) Module['firstTickAt'] = due;
    Module['ticks'] = (Module['ticks'] || 0) + 1;
    var ahead = Module['ticks'] - 1 - Math.floor((now - Module['firstTickAt']) / 10);
    Module['ticksAhead'] = Math.max(Module['ticksAhead'] || 0, ahead);
});

// Give the picture its size in page pixels.
EM_JS(void, setPageSize, (double width, double height), {
    var style = document.documentElement.style;
    style.setProperty('--picture-width', width + 'px');
    style.setProperty('--picture-height', height + 'px');
});

// The picture takes 1280x720 page pixels, less where the browser window is
// smaller (on a touch screen held upright, no taller than 16:9), at the
// device pixel ratio; the window pixels it holds then.
void fitPicture(int& width, int& height)
{
    const double pageWidth = std::max(1.0, std::min(PAGE_WIDTH, roomWidth()));
    double pageHeight = std::max(1.0, std::min(PAGE_HEIGHT, roomHeight()));
    if (touchInUse() && roomHeight() > roomWidth())
        pageHeight = std::min(pageHeight, std::round(pageWidth * UPRIGHT_HEIGHT_PER_WIDTH));
    setPageSize(pageWidth, pageHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    width = static_cast<int>(std::lround(pageWidth * ratio));
    height = static_cast<int>(std::lround(pageHeight * ratio));
}

EM_BOOL onResize(int, const EmscriptenUiEvent*, void*)
{
    refitPicture();
    return EM_FALSE;
}

// The ticks due by now, in fixed steps, MOST_TICKS_AT_ONCE at the most.
void runDueTicks()
{
    const double now = emscripten_get_now();
    for (int ran = 0; ran < MOST_TICKS_AT_ONCE && idle != nullptr && now >= nextTickAt; ++ran) {
        countTick(now, nextTickAt);
        nextTickAt += TICK_PERIOD_MS;
        idle();
    }
    if (now >= nextTickAt)
        nextTickAt = now + TICK_PERIOD_MS;
}

// The timer runs the ticks due, then waits for the next.
void onTickTimer(void*)
{
    runDueTicks();
    emscripten_set_timeout(onTickTimer, std::max(0.0, nextTickAt - emscripten_get_now()), nullptr);
}

// Every frame runs the ticks due too, and fits the picture again when the
// device pixel ratio changed with no change of size (the window moved to
// another monitor; not every browser tells of that by an event). The
// program's end is a normal one here, as in a timer's task (emscripten ends
// it with an ExitStatus).
EM_JS(void, tickInEveryFrame, (), {
    var ratio = window.devicePixelRatio;
    var frame = function() {
        if (ABORT) return;
        try {
            if (window.devicePixelRatio !== ratio) {
                ratio = window.devicePixelRatio;
                _quorvaleRefitPicture();
            }
            _quorvaleRunDueTicks();
        } catch (e) {
            if (e instanceof ExitStatus) return;
            throw e;
        }
        requestAnimationFrame(frame);
    };
    frame.quorvaleTicks = true; // for the page's test, which holds back frames
    requestAnimationFrame(frame);
});

// The note under the picture while the browser has taken the WebGL context
// away (a graphics reset, or too many pages with WebGL).
EM_JS(void, showContextLost, (int lost), {
    var note = document.getElementById('context-note');
    if (note) note.hidden = !lost;
});

EM_BOOL onContextLost(int, const void*, void*)
{
    quorvale::webgl::contextLost();
    showContextLost(1);
    return EM_TRUE; // so that the browser may give the context back
}

EM_BOOL onContextRestored(int, const void*, void*)
{
    quorvale::webgl::contextRestored();
    showContextLost(0);
    glutPostRedisplay();
    return EM_TRUE;
}

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void quorvaleRunDueTicks()
{
    runDueTicks();
}

extern "C" EMSCRIPTEN_KEEPALIVE void quorvaleRefitPicture()
{
    refitPicture();
}

void refitPicture()
{
    int width = 0;
    int height = 0;
    fitPicture(width, height);
    if (width != glutGet(GLUT_WINDOW_WIDTH) || height != glutGet(GLUT_WINDOW_HEIGHT))
        glutReshapeWindow(width, height);
}

// The tick, driven by a timer instead of the toolkit's back-to-back idle calls.
void glutIdleFunc(void (*callback)())
{
    idle = callback;
    if (!ticking && callback != nullptr) {
        ticking = true;
        nextTickAt = emscripten_get_now();
        emscripten_set_timeout(onTickTimer, 0.0, nullptr);
        tickInEveryFrame();
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
    emscripten_set_webglcontextlost_callback(CANVAS_SELECTOR, nullptr, EM_TRUE, onContextLost);
    emscripten_set_webglcontextrestored_callback(CANVAS_SELECTOR, nullptr, EM_TRUE, onContextRestored);
    watchTouch();
}

// The tick's timer keeps its pace instead (a browser must never block).
void sleepMilliseconds(unsigned)
{
}
