// The mouse camera switched on and off from the real menu: the pointer is
// hidden while it is on and shown again after; pointer motion turns and tilts
// the view (0.004 radian per pixel, from the pointer home (640, 360) to which
// the pointer is sent back) only while it is on. The first motion after the
// mouse camera is chosen, or after the pointer came back into the window,
// turns by that motion alone, wherever the pointer was; in a window too
// small for (640, 360) the home is the window's centre.
#include "tests/scenarios/screen_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <tuple>

namespace {

const Vec3 START_EYE = {0.0, 2.0, 5.0};
constexpr int HOME_X = 640; // window pixels
constexpr int HOME_Y = 360;
constexpr double RADIANS_PER_PIXEL = 0.004; // 1/10 of 0.04
constexpr int TURN_RIGHT = 100;             // pixels
constexpr int TILT_DOWN = 50;               // pixels
constexpr int TORUS_MARGIN = 6;
constexpr int SAMPLE_RADIUS = 3;
constexpr double SHARE = 0.8;
// Window pixels far from home where the menu is opened.
constexpr int FAR_X = 1000;
constexpr int FAR_Y = 560;
// Root-window pixel off the window (1280 wide, at the left of the screen),
// and the window pixel where the pointer comes back in.
constexpr int OUTSIDE_X = 1450;
constexpr int REENTRY_X = 1250;
constexpr int SMALL_WIDTH = 600; // a window that does not contain (640, 360)
constexpr int SMALL_HEIGHT = 400;
constexpr int SMALL_MENU_AT = 50;

// Where things must show for a free camera at the start eye with a yaw and
// pitch: the face of the box at (6, 0, -6) that looks at the eye, the ground
// beside the x axis clear of the torus and the spotlights, and the empty
// space above the far edge of the ground, over the torus.
const Vec3 BOX_FACE = {6.0, 2.5, -5.0};
const Vec3 OPEN_GROUND = {3.5, 0.0, -0.5};
const Vec3 EMPTY_SKY = {0.0, 3.0, -10.0};

bool viewShows(const Capture& shot, double yaw, double pitch, std::string& why)
{
    const PerspectiveView view = freeView(START_EYE, yaw, pitch, shot.width, shot.height);
    const struct {
        Vec3 point;
        PixelClass pixelClass;
        const char* what;
    } expected[] = {
        {BOX_FACE, isBoxRed, "box"},
        {OPEN_GROUND, isGroundGreen, "ground"},
        {EMPTY_SKY, isBackground, "empty sky"},
    };
    for (const auto& item : expected) {
        ScreenPoint pixel;
        if (!view.project(item.point, pixel) ||
            shareAround(shot, pixel, SAMPLE_RADIUS, item.pixelClass) < SHARE) {
            why = std::string("no ") + item.what + " at " + std::to_string(pixel.x) + ", " +
                  std::to_string(pixel.y) + " for yaw " + std::to_string(yaw) + ", pitch " +
                  std::to_string(pitch);
            return false;
        }
    }
    return true;
}

bool pointerSentHome(ProgramSession& session, int homeX = HOME_X, int homeY = HOME_Y)
{
    return session.waitForPointerAt(homeX, homeY);
}

// Move the pointer by an offset from wherever it is, as a user moves the mouse.
void movePointerBy(ProgramSession& session, int dx, int dy)
{
    int x = 0;
    int y = 0;
    ASSERT_TRUE(session.driver().pointerIn(session.window(), x, y));
    session.driver().movePointerIn(session.window(), x + dx, y + dy);
}

// Move the pointer about the window; frames go on being drawn, and nothing
// but the torus changes on the screen.
void expectMotionIgnored(ProgramSession& session, const PerspectiveView& view, const char* when)
{
    const Capture before = session.capture();
    for (const auto& [x, y] : {std::pair{900, 500}, std::pair{300, 150}, std::pair{700, 620}})
        session.driver().movePointerIn(session.window(), x, y);
    session.driver().sync();
    ASSERT_TRUE(framesStillDrawn(session, view)) << when;
    const Capture after = session.capture();
    EXPECT_EQ(changesOutside(before, after, torusScreenRect(view, TORUS_MARGIN)), 0)
        << when << ": pointer motion changed the view";
}

} // namespace

TEST(MouseScenarioTest, PointerTurnsTheViewOnlyInMouseCameraMode)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    const Capture start = session.capture();
    const PerspectiveView view = startView(start.width, start.height);
    expectMotionIgnored(session, view, "keyboard mode");
    EXPECT_FALSE(session.driver().cursorHidden()) << "pointer hidden in keyboard mode";

    ASSERT_TRUE(session.choose(MenuChoice::MouseCamera));
    EXPECT_TRUE(session.waitForPointerHidden(true)) << "pointer shown in mouse camera mode";

    // One motion right and down from the menu's entry turns right and tilts down.
    movePointerBy(session, TURN_RIGHT, TILT_DOWN);
    EXPECT_TRUE(pointerSentHome(session)) << "the pointer was not sent back to (640, 360)";
    const double yaw = RADIANS_PER_PIXEL * TURN_RIGHT;
    const double pitch = -RADIANS_PER_PIXEL * TILT_DOWN;
    std::string why;
    Capture shot;
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return viewShows(c, yaw, pitch, why); }, WAIT_MS, &shot))
        << why;
    session.keep(shot, "1-turned-right");

    // As far to the left: straight ahead again, still tilted down.
    session.driver().movePointerIn(session.window(), HOME_X - TURN_RIGHT, HOME_Y);
    EXPECT_TRUE(pointerSentHome(session));
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return viewShows(c, 0.0, pitch, why); }, WAIT_MS, &shot))
        << why;
    session.keep(shot, "2-turned-back");

    // Off again, from a menu opened where the pointer is, so that no motion
    // turns the view on the way.
    ASSERT_TRUE(session.chooseHere(MenuChoice::MouseCamera));
    EXPECT_TRUE(session.waitForPointerHidden(false)) << "pointer still hidden in keyboard mode";
    const PerspectiveView tilted = freeView(START_EYE, 0.0, pitch, start.width, start.height);
    expectMotionIgnored(session, tilted, "back in keyboard mode");
    shot = session.capture();
    EXPECT_TRUE(viewShows(shot, 0.0, pitch, why)) << "the view changed: " << why;
    session.keep(shot, "3-keyboard-mode-again");
}

TEST(MouseScenarioTest, ChosenFarFromHomeOrReEnteredTurnsByTheMotionAlone)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    ASSERT_TRUE(session.choose(MenuChoice::MouseCamera, FAR_X, FAR_Y)) << session.startupProblem();
    const double pitch = -RADIANS_PER_PIXEL * TILT_DOWN;
    movePointerBy(session, TURN_RIGHT, TILT_DOWN);
    EXPECT_TRUE(pointerSentHome(session));
    std::string why;
    Capture shot;
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return viewShows(c, RADIANS_PER_PIXEL * TURN_RIGHT, pitch, why); },
        WAIT_MS, &shot))
        << why;
    session.keep(shot, "1-turned-by-the-motion");

    // Out of the window and back in far from home: coming in turns nothing,
    // so the next motion back left looks straight ahead again.
    session.driver().movePointer(OUTSIDE_X, HOME_Y);
    session.driver().movePointerIn(session.window(), REENTRY_X, HOME_Y);
    EXPECT_TRUE(pointerSentHome(session)) << "the pointer coming in was not sent home";
    movePointerBy(session, -TURN_RIGHT, 0);
    EXPECT_TRUE(pointerSentHome(session));
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return viewShows(c, 0.0, pitch, why); }, WAIT_MS, &shot))
        << why;
    session.keep(shot, "2-back-after-reentry");
}

TEST(MouseScenarioTest, WindowTooSmallForTheHomeTurnsAboutItsCentre)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    session.driver().resize(session.window(), SMALL_WIDTH, SMALL_HEIGHT);
    ASSERT_TRUE(session.waitUntilShown(SMALL_WIDTH, SMALL_HEIGHT));
    ASSERT_TRUE(session.choose(MenuChoice::MouseCamera, SMALL_MENU_AT, SMALL_MENU_AT));
    const int centreX = SMALL_WIDTH / 2;
    const int centreY = SMALL_HEIGHT / 2;
    std::string why;
    Capture shot;
    // Twice: the first motion after the choice counts, and the mouse goes on
    // working once the pointer is back home.
    for (int turn = 1; turn <= 2; ++turn) {
        movePointerBy(session, TURN_RIGHT / 2, TILT_DOWN / 2);
        EXPECT_TRUE(pointerSentHome(session, centreX, centreY)) << "turn " << turn;
        const double yaw = RADIANS_PER_PIXEL * TURN_RIGHT / 2 * turn;
        const double pitch = -RADIANS_PER_PIXEL * TILT_DOWN / 2 * turn;
        EXPECT_TRUE(session.waitForScreen(
            [&](const Capture& c) { return c.width == SMALL_WIDTH && viewShows(c, yaw, pitch, why); },
            WAIT_MS, &shot))
            << "turn " << turn << ": " << why;
    }
    session.keep(shot, "turned-twice");
}

// Absolute XTest motions, as from VNC, a virtual machine's tablet or a pen: each 30-pixel step turns 0.12 rad.
TEST(MouseScenarioTest, AbsoluteMotionsTurnByTheDevicesOwnSteps)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready() && session.choose(MenuChoice::MouseCamera)) << session.startupProblem();
    int x = 0;
    int y = 0;
    ASSERT_TRUE(session.driver().pointerIn(session.window(), x, y));
    std::string why;
    for (const auto& [dx, dy, yaw, pitch] : {std::tuple{30, 0, 0.12, 0.0}, {30, 0, 0.24, 0.0}, {30, 0, 0.36, 0.0},
                                             {0, -30, 0.36, 0.12}, {-30, 0, 0.24, 0.12}}) {
        session.driver().movePointerIn(session.window(), x += dx, y += dy);
        const auto turned = [&](const Capture& c) { return viewShows(c, yaw, pitch, why); };
        EXPECT_TRUE(session.waitForScreen(turned, WAIT_MS)) << "at " << x << ", " << y << ": " << why;
    }
}

namespace {

constexpr int AXIS_ROW = 40; // a row of sky that only the vertical axis crosses
constexpr int STILL_GAP_MS = 100;

// The yaw of a level view from the start eye, read off where the vertical axis
// crosses AXIS_ROW (the middle of its lit pixels); none if it does not.
std::optional<double> yawOnScreen(const Capture& shot)
{
    double sum = 0.0;
    int count = 0;
    for (int x = 0; x < shot.width; ++x) {
        if (shot.red(x, AXIS_ROW) + shot.green(x, AXIS_ROW) + shot.blue(x, AXIS_ROW) > 120) {
            sum += x;
            ++count;
        }
    }
    const double focal = shot.height / 2.0 / std::tan(M_PI / 6); // a field of view of 60 degrees
    return count == 0 ? std::nullopt : std::optional(std::atan((shot.width / 2.0 - 0.5 - sum / count) / focal));
}

} // namespace

// One-pixel motions made all before the program can send the pointer home (a
// fast mouse between two frames), or one by one, turn the view alike: 0.004
// rad per pixel. So do an absolute device's, come into the window with them.
TEST(MouseScenarioTest, BurstsAndSpacedMotionsTurnAlike)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready() && session.choose(MenuChoice::MouseCamera, FAR_X, FAR_Y)) << session.startupProblem();
    XDriver& driver = session.driver();
    // The first motion sends the pointer away once, the second finds that the
    // warp held; from then on the pointer goes home after each.
    for (int settle = 0; settle < 2; ++settle) {
        driver.movePointerBy(1, 0);
        ASSERT_TRUE(pointerSentHome(session));
    }
    std::optional<double> yaw = 0.0; // the free camera's at start
    // The turn once the program has handled every motion: two captures apart
    // showing the axis in the same place, the turn expected. (Under load the
    // program may draw a frame halfway through a burst, so "still" alone is
    // not enough; a wrong turn never settles there and fails on time-out.)
    const auto expectTurn = [&](int pixels, const std::string& what) {
        const double wanted = *yaw + pixels * RADIANS_PER_PIXEL;
        std::optional<double> seen;
        const auto changes = [&](const Capture& a, const Capture& b) {
            seen = yawOnScreen(b);
            return seen && yawOnScreen(a) == seen && std::abs(*seen - wanted) <= RADIANS_PER_PIXEL ? 0L : 1L;
        };
        EXPECT_TRUE(session.waitForStillScreen(changes, STILL_GAP_MS, WAIT_MS))
            << what << ": turned " << (seen ? *seen - *yaw : 0.0) << " rad, not " << pixels * RADIANS_PER_PIXEL;
        yaw = seen;
    };
    expectTurn(2, "the two motions before");
    int x = FAR_X; // where an absolute device comes in
    for (const auto& [count, absolute] : {std::pair{3, false}, {10, false}, {30, false}, {10, true}, {30, true}}) {
        const std::string what = std::to_string(count) + (absolute ? " absolute" : "") + " motions";
        const auto move = [&, absolute = absolute](int dx) {
            if (absolute)
                driver.movePointerIn(session.window(), x += dx, FAR_Y);
            else
                driver.movePointerBy(dx, 0);
        };
        if (absolute) {
            driver.movePointer(OUTSIDE_X, HOME_Y);
            move(0);
        }
        driver.burst([&, count = count] {
            for (int i = 0; i < count; ++i)
                move(1);
        });
        expectTurn(count, what + " in one burst");
        for (int i = 0; i < count; ++i) {
            move(-1);
            driver.sync();
            // One by one: each handled before the next where the pointer goes
            // home, else spaced as a slow hand moves.
            if (absolute)
                pauseFor(STILL_GAP_MS / 4);
            else
                ASSERT_TRUE(pointerSentHome(session));
        }
        expectTurn(-count, what + " one by one");
    }
}

class MouseOnWaylandTest : public testing::TestWithParam<Desktop> {};

// On a Wayland desktop, through Xwayland, with the input made on the server
// the compositor's window is on: choosing the mouse camera turns nothing, and
// each motion turns the view by that motion alone, whether the compositor
// makes the program's warps real (weston) or never does (nested mutter).
TEST_P(MouseOnWaylandTest, ChoosingTurnsNothingAndEachMotionTurnsByItself)
{
    ProgramSession::Options options;
    options.desktop = GetParam();
    ProgramSession session(options);
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    ASSERT_TRUE(session.choose(MenuChoice::MouseCamera, FAR_X, FAR_Y)) << session.startupProblem();
    const double pitch = -RADIANS_PER_PIXEL * TILT_DOWN;
    std::string why;
    Capture shot;
    for (const auto& [dx, dy, yaw] : {std::tuple{TURN_RIGHT, TILT_DOWN, RADIANS_PER_PIXEL * TURN_RIGHT},
                                      std::tuple{-TURN_RIGHT, 0, 0.0}}) {
        session.driver().movePointerBy(dx, dy);
        EXPECT_TRUE(session.waitForScreen([&](const Capture& c) { return viewShows(c, yaw, pitch, why); },
                                          WAIT_MS, &shot))
            << "after " << dx << ", " << dy << ": " << why;
    }
    session.keep(shot, "turned-back");
}

INSTANTIATE_TEST_SUITE_P(MouseScenarioTest, MouseOnWaylandTest, testing::ValuesIn(WAYLAND_DESKTOPS),
                         [](const auto& param) { return desktopName(param.param); });
