// The real program traced with apitrace on a private X server: the lights set
// up once under the identity at start-up, then every complete frame it drew
// issuing its GL calls in the frame's order, with the lights re-issued right
// after the view.
#include "tests/lighting/frame_order.h"
#include "tests/lighting/trace_reader.h"
#include "tests/support/program_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr int DUMP_TIMEOUT_MS = 120000;
constexpr double TORUS_SPIN = 0.1;        // degrees per drawn frame
constexpr double ANGLE_TOLERANCE = 1e-3;  // single-precision sums over a few hundred frames

// A trace file name of the test's own, removed when the test ends.
class TraceFile {
public:
    TraceFile()
    {
        char pattern[] = "/tmp/quorvale-XXXXXX.trace";
        const int fd = mkstemps(pattern, 6);
        if (fd >= 0) {
            close(fd);
            path_ = pattern;
        }
    }
    ~TraceFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace

TEST(FrameTrace, EveryTracedFrameDrawsInTheFramesOrder)
{
    const std::string apitrace = findOnPath("apitrace");
    if (apitrace.empty())
        GTEST_SKIP() << "apitrace is not installed";
    const TraceFile trace;
    ASSERT_FALSE(trace.path().empty());
    {
        ProgramSession::Options options;
        options.traceFile = trace.path();
        ProgramSession traced(options);
        ASSERT_TRUE(traced.ready()) << traced.startupProblem();
        // Escape ends the program on its next tick; the tracer then writes out the trace.
        std::string report;
        ASSERT_TRUE(traced.quitWithEscape(report)) << "the traced program: " << report;
    }

    ProgramProcess dumper({apitrace, "dump", "--color=never", "--multiline=no", trace.path()}, "", {});
    ASSERT_TRUE(dumper.waitForExit(DUMP_TIMEOUT_MS)) << "apitrace dump did not finish";
    ASSERT_EQ(dumper.exitStatus(), 0) << dumper.standardError();
    const std::vector<TraceCall> calls = readDump(dumper.standardOutput());
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
