// A key held while the program cannot see it being let go: the keyboard goes
// to another window, the menu is open, or the window is hidden. Once W is up
// the tank must stop, seen on the screen: it comes to rest while frames go on
// being drawn, and the program works as before afterwards.
#include "tests/scenarios/screen_checks.h"
#include "tests/support/tank_tracker.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

constexpr int WIDTH = 1280; // the program's window, pixels
constexpr int HEIGHT = 720;
// Root-window pixels off the program's window (the screen is 1600 x 1000).
constexpr int OUTSIDE_X = 1450;
constexpr int OUTSIDE_Y = 850;
constexpr int OTHER_WINDOW_X = 1300;
constexpr int OTHER_WINDOW_Y = 760;
constexpr int OTHER_WINDOW_SIZE = 200;
// Window pixel where the pointer rests and the menu opens.
constexpr int POINTER_X = 300;
constexpr int POINTER_Y = 500;

// A way to keep the program from seeing a key's release, and its undoing.
struct Unseen {
    const char* name;
    ProgramSession::Focus focus;
    std::function<void(ProgramSession&, WindowId& other)> away;
    std::function<void(ProgramSession&, WindowId& other)> back;
};

const Unseen UNSEEN[] = {
    {"AnotherWindowHasTheKeyboard", ProgramSession::Focus::OnWindow,
     [](ProgramSession& session, WindowId& other) {
         other = session.driver().createWindow(OTHER_WINDOW_X, OTHER_WINDOW_Y, OTHER_WINDOW_SIZE,
                                               OTHER_WINDOW_SIZE);
         session.driver().focus(other);
     },
     [](ProgramSession& session, WindowId& other) {
         session.driver().focus(session.window());
         session.driver().destroyWindow(other);
     }},
    {"PointerOutsideWhenTheKeyboardFollowsIt", ProgramSession::Focus::FollowsPointer,
     [](ProgramSession& session, WindowId&) { session.driver().movePointer(OUTSIDE_X, OUTSIDE_Y); },
     [](ProgramSession& session, WindowId&) {
         session.driver().movePointerIn(session.window(), POINTER_X, POINTER_Y);
     }},
    {"MenuOpen", ProgramSession::Focus::OnWindow,
     [](ProgramSession& session, WindowId&) { ASSERT_TRUE(session.openMenu(POINTER_X, POINTER_Y)); },
     [](ProgramSession& session, WindowId&) { ASSERT_TRUE(session.dismissMenu()); }},
    // With no window manager the keyboard follows the pointer, which the menu
    // opens under: the key's release goes to the menu's window.
    {"MenuOpenWhenTheKeyboardFollowsThePointer", ProgramSession::Focus::FollowsPointer,
     [](ProgramSession& session, WindowId&) { ASSERT_TRUE(session.openMenu(POINTER_X, POINTER_Y)); },
     [](ProgramSession& session, WindowId&) { ASSERT_TRUE(session.dismissMenu()); }},
    {"WindowHidden", ProgramSession::Focus::OnWindow,
     [](ProgramSession& session, WindowId&) {
         session.driver().iconify(session.window());
         ASSERT_FALSE(session.driver().isViewable(session.window()));
     },
     [](ProgramSession& session, WindowId&) {
         session.driver().restore(session.window());
         session.driver().focus(session.window());
         ASSERT_TRUE(session.waitUntilShown(WIDTH, HEIGHT));
     }},
};

class KeyLetGoUnseenTest : public testing::TestWithParam<Unseen> {};

// W held, the tank out of the torus ring and moving; then W let go while the
// program cannot see it, and that undone. The tank must stop.
TEST_P(KeyLetGoUnseenTest, TheTankStopsAndTheProgramWorksOn)
{
    ProgramSession session(GetParam().focus);
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    session.driver().movePointerIn(session.window(), POINTER_X, POINTER_Y);
    const TankTracker tracker = startViewTracker(session.capture());
    ASSERT_TRUE(driveOutOfTheRing(session, tracker)) << "W does not drive the tank";
    WindowId other = 0;
    ASSERT_NO_FATAL_FAILURE(GetParam().away(session, other));
    session.release("w");
    session.driver().sync();
    ASSERT_NO_FATAL_FAILURE(GetParam().back(session, other));
    std::string why;
    const bool stopped = tankStaysAtRest(session, tracker, why);
    session.keep(session.capture(), "after");
    ASSERT_TRUE(stopped) << why << ": W stays held";
    expectFullyWorking(session, tracker);
}

INSTANTIATE_TEST_SUITE_P(HeldKeysRobustnessTest, KeyLetGoUnseenTest, testing::ValuesIn(UNSEEN),
                         [](const testing::TestParamInfo<Unseen>& row) { return row.param.name; });

} // namespace

// W pressed and let go while the program handles nothing, as on a machine
// whose ticks take long: each such tap drives the tank one step (0.035) on.
TEST(HeldKeysRobustnessTest, KeyTappedBetweenTwoTicksDrivesOneStep)
{
    constexpr int TAPS = 5;
    constexpr double STEP = 0.035; // scene units per tick
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    const TankTracker tracker = startViewTracker(session.capture());
    ASSERT_TRUE(driveOutOfTheRing(session, tracker)) << "W does not drive the tank";
    session.release("w");
    TankSighting before;
    TankSighting after;
    ASSERT_TRUE(waitForTankAtRest(session, tracker, before));
    for (int tap = 1; tap <= TAPS; ++tap) {
        session.driver().burst([&] {
            session.driver().keyDown("w");
            session.driver().keyUp("w");
        });
        ASSERT_TRUE(pollUntil([&] {
            return waitForTankAtRest(session, tracker, after) && after.ground.x > before.ground.x + (tap - 0.5) * STEP;
        }, WAIT_MS)) << "tap " << tap << " did not drive the tank";
    }
    EXPECT_NEAR(after.ground.x - before.ground.x, TAPS * STEP, STEP / 2);
}
