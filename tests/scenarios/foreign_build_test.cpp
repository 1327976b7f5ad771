// The arm64 program named by QUORVALE_FOREIGN_PROGRAM (scripts/test-arm64.sh
// sets it), run by qemu-user, once end to end beside this build's own program.
// Emulated, it draws about a frame a second.
#include "tests/scenarios/screen_checks.h"
#include "tests/support/tank_tracker.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr int TORUS_MARGIN = 4;          // pixels around where the spinning torus can be
constexpr int EMULATED_WAIT_MS = 600000; // W takes ~70 frames to leave the ring
constexpr int SETTLING_FRAMES = 3;

// The picture a few frames on: the first frame lights the grid lines with GL's
// start-up normal, every later one with the normal the ground left.
Capture settledPicture(ProgramSession& session)
{
    Capture last = session.capture();
    int frames = 0;
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& next) {
            frames += next.rgb != last.rgb ? 1 : 0;
            last = next;
            return frames >= SETTLING_FRAMES;
        },
        EMULATED_WAIT_MS));
    return last;
}

} // namespace

TEST(ForeignBuildTest, ShowsTheNativePictureDrivesAndQuits)
{
    const char* program = std::getenv("QUORVALE_FOREIGN_PROGRAM");
    ASSERT_TRUE(program != nullptr && !findOnPath("qemu-aarch64-static").empty());
    Capture ours;
    std::string banner;
    { // The native program's, ended before the slow one starts.
        ProgramSession native;
        ASSERT_TRUE(native.ready()) << native.startupProblem();
        ours = settledPicture(native);
        banner = native.process().standardOutput();
    }
    ProgramSession::Options options;
    options.command = {findOnPath("qemu-aarch64-static"), program};
    ProgramSession foreign(options);
    ASSERT_TRUE(foreign.ready()) << foreign.startupProblem();
    EXPECT_EQ(foreign.process().standardOutput(), banner);

    const Capture theirs = settledPicture(foreign);
    const PixelRect torus = torusScreenRect(startView(ours.width, ours.height), TORUS_MARGIN);
    EXPECT_EQ(changesOutside(ours, theirs, torus), 0) << "pixels differ outside the torus";
    EXPECT_TRUE(driveOutOfTheRing(foreign, startViewTracker(theirs), EMULATED_WAIT_MS)) << "W";
    foreign.release("w");
    std::string report;
    EXPECT_TRUE(foreign.quitWithEscape(report)) << report;
}
