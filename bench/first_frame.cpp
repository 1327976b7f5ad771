// quorvale_first_frame [--png PATH]: start the real quorvale binary on
// $DISPLAY and time how long it takes from starting the process until its
// first frame is on the screen, by polling the window's pixels. With --png the
// window as that first frame shows it is written to PATH.
//
// A frame counts as shown once a quarter of the window is in colour: the lit
// ground, boxes and torus fill most of it, while before the first frame the
// window shows only black or the server's grey background.
#include "tests/support/png.h"
#include "tests/support/program.h"
#include "tests/support/xdriver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr char WINDOW_TITLE[] = "Quorvale 1";
constexpr int TIMEOUT_MS = 30000;
constexpr int COLOUR_SPREAD = 16;          // max - min channel of a coloured pixel, 0..255
constexpr double SHOWN_FRACTION = 0.25;    // of the window's pixels in colour

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool frameShown(const Capture& capture)
{
    if (capture.width <= 0 || capture.height <= 0)
        return false;
    long coloured = 0;
    for (int y = 0; y < capture.height; ++y) {
        for (int x = 0; x < capture.width; ++x) {
            const int r = capture.red(x, y);
            const int g = capture.green(x, y);
            const int b = capture.blue(x, y);
            const int high = std::max(r, std::max(g, b));
            const int low = std::min(r, std::min(g, b));
            if (high - low > COLOUR_SPREAD)
                ++coloured;
        }
    }
    return coloured >= static_cast<long>(SHOWN_FRACTION * capture.width * capture.height);
}

} // namespace

int main(int argc, char** argv)
{
    std::string pngPath;
    if (argc == 3 && std::strcmp(argv[1], "--png") == 0)
        pngPath = argv[2];
    else if (argc != 1) {
        std::fprintf(stderr, "usage: quorvale_first_frame [--png PATH]\n");
        return 2;
    }
    XDriver driver;
    if (!driver.connected()) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const char* display = std::getenv("DISPLAY");
    const Clock::time_point start = Clock::now();
    auto program = std::make_unique<ProgramProcess>(display == nullptr ? "" : display);
    if (!program->started())
        return 1;
    const WindowId window = driver.findWindow(WINDOW_TITLE, TIMEOUT_MS);
    const double windowMs = millisecondsSince(start);
    double previousPollMs = windowMs;
    Capture shown;
    double shownMs = -1;
    while (window != 0 && millisecondsSince(start) < TIMEOUT_MS) {
        const double pollMs = millisecondsSince(start);
        Capture capture = driver.capture(window);
        if (frameShown(capture)) {
            shownMs = pollMs;
            shown = std::move(capture);
            break;
        }
        previousPollMs = pollMs;
    }
    program.reset();
    if (shownMs < 0) {
        std::fprintf(stderr, "no frame of the program was seen within %d ms\n", TIMEOUT_MS);
        return 1;
    }
    std::printf("window_found_ms=%.1f\n", windowMs);
    std::printf("first_frame_ms=%.1f\n", shownMs);
    std::printf("first_frame_previous_poll_ms=%.1f\n", previousPollMs);
    if (!pngPath.empty() && !writePng(pngPath, shown.width, shown.height, shown.rgb)) {
        std::fprintf(stderr, "cannot write %s\n", pngPath.c_str());
        return 1;
    }
    return 0;
}
