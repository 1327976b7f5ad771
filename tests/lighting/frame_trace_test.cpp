// The real program traced with apitrace on a private X server: the lights set
// up once under the identity at start-up, then every complete frame it drew
// issuing its GL calls in the frame's order, with the lights re-issued right
// after the view.
#include "platform/xdriver.h"
#include "tests/lighting/frame_order.h"
#include "tests/lighting/trace_reader.h"
#include "tests/support/program.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

namespace {

constexpr int WINDOW_TIMEOUT_MS = 30000;  // the machine is slow and tracing slows the program
constexpr int FRAME_TIMEOUT_MS = 30000;
constexpr int EXIT_TIMEOUT_MS = 30000;
constexpr int DUMP_TIMEOUT_MS = 120000;
constexpr int POLL_INTERVAL_MS = 50;
constexpr double TORUS_SPIN = 0.1;        // degrees per drawn frame
constexpr double ANGLE_TOLERANCE = 1e-3;  // single-precision sums over a few hundred frames

// True once the window shows anything but the black it is cleared to.
bool showsAFrame(XDriver& driver, WindowId window)
{
    const Capture shot = driver.capture(window);
    for (std::uint8_t byte : shot.rgb)
        if (byte != 0)
            return true;
    return false;
}

bool waitForAFrame(XDriver& driver, WindowId window)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(FRAME_TIMEOUT_MS);
    while (std::chrono::steady_clock::now() < deadline) {
        if (showsAFrame(driver, window))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(POLL_INTERVAL_MS));
    }
    return false;
}

// Held at namespace scope so that the server also goes when the test process
// ends through exit without unwinding.
std::unique_ptr<XvfbServer> server;

class TraceDirectory {
public:
    TraceDirectory()
    {
        char pattern[] = "/tmp/quorvale-trace-XXXXXX";
        if (mkdtemp(pattern) != nullptr)
            path_ = pattern;
    }
    ~TraceDirectory()
    {
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path_, ignored);
        }
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Removed however the test process ends, after the server above.
std::unique_ptr<TraceDirectory> traceDirectory;

} // namespace

TEST(FrameTrace, EveryTracedFrameDrawsInTheFramesOrder)
{
    const std::string apitrace = findOnPath("apitrace");
    if (apitrace.empty())
        GTEST_SKIP() << "apitrace is not installed";
    server = std::make_unique<XvfbServer>();
    ASSERT_TRUE(server->running());
    traceDirectory = std::make_unique<TraceDirectory>();
    const TraceDirectory& directory = *traceDirectory;
    ASSERT_FALSE(directory.path().empty());
    const std::string trace = directory.path() + "/quorvale.trace";

    {
        // The toolkit's own -geometry places the window wholly on the screen,
        // so that it can be read back.
        BoundedChild traced({apitrace, "trace", "--output=" + trace, programPath(), "-geometry", "+0+0"},
                            server->display(), directory.path() + "/trace.log");
        ASSERT_TRUE(traced.started());
        XDriver driver(server->display());
        ASSERT_TRUE(driver.connected());
        const WindowId window = driver.findWindow("Quorvale 1", WINDOW_TIMEOUT_MS);
        ASSERT_NE(window, 0u) << "the traced program shows no window";
        ASSERT_TRUE(waitForAFrame(driver, window)) << "no frame reached the screen";
        // Escape ends the program on its next tick; the tracer then writes out the trace.
        driver.focus(window);
        driver.keyDown("Escape");
        driver.sync();
        const bool ended = traced.waitForExit(EXIT_TIMEOUT_MS);
        driver.keyUp("Escape");
        ASSERT_TRUE(ended) << "the traced program did not end on Escape";
        EXPECT_EQ(traced.exitStatus(), 0);
    }

    const std::string dump = directory.path() + "/dump.txt";
    BoundedChild dumper({apitrace, "dump", "--color=never", "--multiline=no", trace}, server->display(), dump);
    ASSERT_TRUE(dumper.waitForExit(DUMP_TIMEOUT_MS)) << "apitrace dump did not finish";
    ASSERT_EQ(dumper.exitStatus(), 0);
    const std::vector<TraceCall> calls = readDump(dump);
    try {
        checkStartUpLights(calls);
    } catch (const FrameMismatch& mismatch) {
        ADD_FAILURE() << "start-up: " << mismatch.what();
    }
    const auto frames = completeFrames(calls);
    ASSERT_GE(frames.size(), 1u) << "no complete frame in the trace";

    // The free camera at its start: eye (0, 2, 5) looking at the origin, in
    // the 1280 x 720 window.
    const FrameView view = {1280.0f / 720.0f, {0, 2, 5}, {0, 0, 0}};
    for (std::size_t k = 0; k < frames.size(); ++k) {
        try {
            const double angle = checkFrame(calls, frames[k], view);
            // Frame k is drawn at the angle before its own turn: k tenths of a degree.
            EXPECT_NEAR(angle, static_cast<double>(k) * TORUS_SPIN, ANGLE_TOLERANCE) << "frame " << k;
        } catch (const FrameMismatch& mismatch) {
            ADD_FAILURE() << "frame " << k << " of " << frames.size() << ": " << mismatch.what();
            break;
        }
    }
}
