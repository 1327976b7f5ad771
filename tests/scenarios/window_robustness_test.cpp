// The window shrunk to nothing or resized while a key is held: no fault and
// no hang; afterwards the program draws the start view for
// its size, the tank still drives and Escape still ends it with status 0.
// And a short run under a real reparenting window manager: Alt+Tab away and
// back, iconify and restore, and its close button.
#include "tests/scenarios/screen_checks.h"
#include "tests/support/tank_tracker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>

namespace {

constexpr int WIDTH = 1280; // the program's window at start, pixels
constexpr int HEIGHT = 720;
constexpr double OUT_OF_RING_X = 2.4;
constexpr double ON_THE_AXIS = 0.1; // scene units off z = 0
// Another program's window beside ours, root-window pixels.
constexpr int OTHER_X = 1340;
constexpr int OTHER_Y = 780;
constexpr int OTHER_SIZE = 150;
// A reparenting window manager, and the class of its window switcher, shown
// while Alt is held after Tab.
struct WindowManager {
    Desktop desktop;
    const char* switcherClass;
};
const WindowManager WINDOW_MANAGERS[] = {
    {Desktop::Openbox, "OPENBOX_FOCUS_CYCLE_POPUP"},
    {Desktop::Icewm, "IceWM"},
};

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
        WAIT_MS))
        << "nothing more was drawn into the shrunk window";
    session.release("w");
    session.driver().resize(session.window(), WIDTH, HEIGHT);
    ASSERT_TRUE(session.waitUntilShown(WIDTH, HEIGHT));
    expectFullyWorking(session, tracker);
}

// Alt+Tab as a user types it, letting go of Alt once the window manager's
// switcher shows; true once the keyboard focus is on `to`.
bool altTabTo(ProgramSession& session, WindowId to, const char* switcherClass)
{
    // The switcher of the Alt+Tab before may still be on its way out.
    pollUntil([&] { return !session.driver().classShown(switcherClass); }, WAIT_MS);
    session.press("Alt_L");
    session.press("Tab");
    session.release("Tab");
    const bool switcher =
        pollUntil([&] { return session.driver().classShown(switcherClass); }, WAIT_MS);
    session.release("Alt_L");
    return switcher &&
           pollUntil([&] { return session.driver().focusedWindow() == to; }, WAIT_MS);
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
            WAIT_MS, &shot))
            << width << " x " << height << ": " << why;
        session.keep(shot, std::to_string(width) + "x" + std::to_string(height));
    }
    TankSighting sighting;
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) {
            sighting = tracker.sight(c);
            return sighting.seen && sighting.ground.x >= OUT_OF_RING_X;
        },
        WAIT_MS))
        << "W stopped driving the tank";
    session.release("w");
    std::string why;
    EXPECT_TRUE(tankStaysAtRest(session, tracker, why)) << why;
    EXPECT_NEAR(sighting.ground.z, 0.0, ON_THE_AXIS) << "the tank left the x axis";
    expectFullyWorking(session, tracker);
}

class UnderWindowManagerTest : public testing::TestWithParam<WindowManager> {};

// The window is taken on with its class, shown in the window manager's frame.
TEST_P(UnderWindowManagerTest, FramedWithItsClassAndWorking)
{
    const char* switcher = GetParam().switcherClass;
    ProgramSession::Options options;
    options.desktop = GetParam().desktop;
    ProgramSession session(options);
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    const CommandResult properties = runCommand("DISPLAY=" + session.display() + " xprop -id " +
                                                std::to_string(session.window()) + " WM_CLASS WM_STATE");
    EXPECT_NE(properties.output.find("\"quorvale\", \"Quorvale\""), std::string::npos) << properties.output;
    EXPECT_NE(properties.output.find("window state: Normal"), std::string::npos) << properties.output;
    EXPECT_NE(session.driver().geometry(session.window()).y, 0) << "not framed";
    const TankTracker tracker = startViewTracker(session.capture());
    // Another window takes the keyboard; Alt+Tab brings it back.
    XDriver& driver = session.driver();
    const WindowId other = driver.createWindow(OTHER_X, OTHER_Y, OTHER_SIZE, OTHER_SIZE);
    ASSERT_TRUE(pollUntil([&] { return driver.isViewable(other); }, WAIT_MS));
    // Clicked, as a user gives a window the keyboard: the window manager then
    // takes it as the window in use, and Alt+Tab goes back to the program.
    driver.movePointerIn(other, OTHER_SIZE / 2, OTHER_SIZE / 2);
    driver.buttonDown(1);
    driver.buttonUp(1);
    ASSERT_TRUE(pollUntil([&] { return driver.focusedWindow() == other; }, WAIT_MS));
    ASSERT_TRUE(altTabTo(session, session.window(), switcher)) << "Alt+Tab did not reach the program";

    // W held, Alt+Tab away, W let go in the other window, Alt+Tab back.
    ASSERT_TRUE(driveOutOfTheRing(session, tracker)) << "W does not drive the tank";
    ASSERT_TRUE(altTabTo(session, other, switcher)) << "Alt+Tab did not reach the other window";
    session.release("w");
    session.driver().sync();
    ASSERT_TRUE(altTabTo(session, session.window(), switcher));
    std::string why;
    EXPECT_TRUE(tankStaysAtRest(session, tracker, why)) << why << ": W stays held";
    session.keep(session.capture(), "after-alt-tab");

    driver.iconify(session.window());
    EXPECT_TRUE(pollUntil([&] { return !driver.isViewable(session.window()); }, WAIT_MS))
        << "not iconified";
    ASSERT_TRUE(session.running()) << session.process().standardError();
    driver.restore(session.window());
    ASSERT_TRUE(session.waitUntilShown(WIDTH, HEIGHT)) << "not restored";
    driver.focus(session.window());
    EXPECT_TRUE(keysStillDriveTheTank(session, tracker, why)) << why;

    // The window manager's close button ends the program with status 0.
    driver.closeWindow(session.window());
    ASSERT_TRUE(session.process().waitForExit(WAIT_MS)) << "close did not end the program";
    EXPECT_EQ(session.process().exitStatus(), 0) << session.process().standardError();
    driver.destroyWindow(other);
}

INSTANTIATE_TEST_SUITE_P(WindowRobustnessTest, UnderWindowManagerTest, testing::ValuesIn(WINDOW_MANAGERS),
                         [](const auto& param) { return desktopName(param.param.desktop); });

class NativeWaylandWindowTest : public testing::TestWithParam<Desktop> {};

// On a Wayland desktop: W held in the program, a native Wayland window (a
// terminal that opens) takes the keyboard and W is let go there; once it has
// gone and the program has the keyboard back, the tank stands still.
TEST_P(NativeWaylandWindowTest, KeyLetGoInANativeWindowStopsDriving)
{
    ProgramSession::Options options;
    options.desktop = GetParam();
    ProgramSession session(options);
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    const TankTracker tracker = startViewTracker(session.capture());
    XDriver& driver = session.driver();
    ASSERT_TRUE(driveOutOfTheRing(session, tracker)) << "W does not drive the tank";
    {
        ProgramProcess terminal({"weston-terminal"}, "", session.waylandEnvironment());
        ASSERT_TRUE(pollUntil([&] { return driver.focusedWindow() != session.window(); }, WAIT_MS))
            << "the terminal did not take the keyboard";
        session.release("w");
        driver.sync();
    }
    ASSERT_TRUE(pollUntil([&] { return driver.focusedWindow() == session.window(); }, WAIT_MS))
        << "the keyboard did not come back";
    std::string why;
    EXPECT_TRUE(tankStaysAtRest(session, tracker, why)) << why << ": W stays held";
    EXPECT_TRUE(keysStillDriveTheTank(session, tracker, why)) << why;
}

INSTANTIATE_TEST_SUITE_P(WindowRobustnessTest, NativeWaylandWindowTest, testing::ValuesIn(WAYLAND_DESKTOPS),
                         [](const auto& param) { return desktopName(param.param); });
