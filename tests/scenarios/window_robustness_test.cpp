// The window shrunk to nothing, hidden and shown, resized while a key is
// held: no fault and no hang; afterwards the program draws the start view for
// its size, the tank still drives and Escape still ends it with status 0.
#include "tests/scenarios/screen_checks.h"
#include "tests/scenarios/tank_tracker.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

constexpr int WIDTH = 1280; // the program's window at start, pixels
constexpr int HEIGHT = 720;
constexpr double OUT_OF_RING_X = 2.4;
constexpr double ON_THE_AXIS = 0.1; // scene units off z = 0

// The program is back to normal at its start size: the start view drawn for
// that size, the tank driving and stopping, Escape ending the process.
void expectFullyWorking(ProgramSession& session, const TankTracker& tracker)
{
    ASSERT_TRUE(session.running()) << "the program died: " << session.process().standardError();
    std::string why;
    Capture shot;
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return startViewGridInPlace(c, why); }, SCREEN_WAIT_MS, &shot))
        << why;
    session.keep(shot, "afterwards");
    EXPECT_TRUE(keysStillDriveTheTank(session, tracker, why)) << why;
    std::string report;
    EXPECT_TRUE(session.quitWithEscape(report)) << report;
}

// Shrink the window, let the program draw into it with W held until the
// tiny screen changes, then give it back its size.
void driveWhileShrunk(int width, int height)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    const TankTracker tracker = startViewTracker(session.capture());
    session.driver().resize(session.window(), width, height);
    ASSERT_TRUE(session.waitUntilShown(width, height));
    const Capture first = session.capture();
    ASSERT_EQ(first.width, width);
    session.press("w");
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return differingPixels(first, c, wholeCapture(c)) > 0; },
        SCREEN_WAIT_MS))
        << "nothing more was drawn into the shrunk window";
    session.release("w");
    session.driver().resize(session.window(), WIDTH, HEIGHT);
    ASSERT_TRUE(session.waitUntilShown(WIDTH, HEIGHT));
    expectFullyWorking(session, tracker);
}

} // namespace

TEST(WindowRobustnessTest, ShrunkToOnePixelAndBack)
{
    driveWhileShrunk(1, 1);
}

// X has no window of height 0; one pixel is the least it allows.
TEST(WindowRobustnessTest, ShrunkToTheLeastHeightAndBack)
{
    driveWhileShrunk(WIDTH, 1);
}

TEST(WindowRobustnessTest, HiddenAndShownAgain)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    const TankTracker tracker = startViewTracker(session.capture());
    session.driver().iconify(session.window());
    ASSERT_FALSE(session.driver().isViewable(session.window()));
    ASSERT_TRUE(session.running());
    session.driver().restore(session.window());
    session.driver().focus(session.window());
    ASSERT_TRUE(session.waitUntilShown(WIDTH, HEIGHT));
    expectFullyWorking(session, tracker);
}

TEST(WindowRobustnessTest, ResizedWhileAKeyIsHeld)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    const TankTracker tracker = startViewTracker(session.capture());
    session.press("w");
    for (const auto& [width, height] :
         {std::pair{960, 540}, std::pair{700, 700}, std::pair{WIDTH, HEIGHT}}) {
        session.driver().resize(session.window(), width, height);
        ASSERT_TRUE(session.waitUntilShown(width, height));
        std::string why;
        Capture shot;
        EXPECT_TRUE(session.waitForScreen(
            [&](const Capture& c) { return c.width == width && startViewGridInPlace(c, why); },
            SCREEN_WAIT_MS, &shot))
            << width << " x " << height << ": " << why;
        session.keep(shot, std::to_string(width) + "x" + std::to_string(height));
    }
    TankSighting sighting;
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) {
            sighting = tracker.sight(c);
            return sighting.seen && sighting.ground.x >= OUT_OF_RING_X;
        },
        SCREEN_WAIT_MS))
        << "W stopped driving the tank";
    session.release("w");
    std::string why;
    EXPECT_TRUE(tankStaysAtRest(session, tracker, why)) << why;
    EXPECT_NEAR(sighting.ground.z, 0.0, ON_THE_AXIS) << "the tank left the x axis";
    expectFullyWorking(session, tracker);
}
