// The free camera of the real program under real keys and real pointer motion
// on a private X server, checked against where the torus must appear.
#include "tests/support/program_session.h"
#include "tests/support/scene_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int WINDOW_WIDTH = 1280; // the window's size at start-up, pixels
constexpr int WINDOW_HEIGHT = 720;
constexpr int POINTER_HOME_X = 640; // where mouse look sends the pointer back to
constexpr int POINTER_HOME_Y = 360;
constexpr double FIELD_OF_VIEW_DEGREES = 60.0;

// The top of the torus ring, (0, 1.75, 0), stays where it is however the torus
// spins about the vertical axis: the topmost torus-blue pixel shows it.
constexpr Vec3 TORUS_TOP = {0.0, 1.75, 0.0};
constexpr Vec3 START_EYE = {0.0, 2.0, 5.0};
constexpr Vec3 START_CENTRE = {0.0, 0.0, 0.0};
// The outline's top is a tangent of the tube, a pixel or two off the point
// itself; and as the ring spins, its flat top leans towards the nearer side,
// so the middle of the topmost blue run wanders up to about 15 pixels sideways.
constexpr int TOP_ROW_TOLERANCE = 10;    // pixels
constexpr int TOP_COLUMN_TOLERANCE = 20; // pixels
constexpr double MOUSE_RADIANS_PER_PIXEL = 0.004;
constexpr int FRAMES_TO_WATCH = 5;
// The arrows move the eye by this share of the way from eye to centre per
// tick, and the centre with it, so the share stays that of the start line.
constexpr double FLIGHT_PER_TICK = 0.04;
constexpr int FORWARD_TAPS = 6;         // a quarter of the way to the origin
constexpr int BACK_PAST_START_TAPS = 4; // the steps behind the start get short

struct Pixel {
    int x = 0;
    int y = 0;
};

// The pixel the torus's top lands on for a camera at eye looking at centre,
// floored.
Pixel expectedTop(const Vec3& eye, const Vec3& centre)
{
    const PerspectiveView view(eye, centre, {0.0, 1.0, 0.0}, FIELD_OF_VIEW_DEGREES, WINDOW_WIDTH,
                               WINDOW_HEIGHT);
    ScreenPoint pixel;
    EXPECT_TRUE(view.project(TORUS_TOP, pixel));
    return {static_cast<int>(std::floor(pixel.x)), static_cast<int>(std::floor(pixel.y))};
}

// Topmost row holding torus blue, and the middle of the blue over a band of
// rows below it: the torus is faceted, and at some turns its highest facet
// has a slanted top edge whose first row is only one end of it.
bool torusTop(const Capture& image, int& x, int& y)
{
    constexpr int TOP_BAND_ROWS = 8;
    int first = -1;
    int last = -1;
    int topRow = -1;
    for (int row = 0; row < image.height; ++row) {
        for (int column = 0; column < image.width; ++column) {
            if (pixelIs(image, column, row, isTorusBlue)) {
                first = first < 0 || column < first ? column : first;
                last = std::max(last, column);
            }
        }
        if (first >= 0 && topRow < 0)
            topRow = row;
        if (topRow >= 0 && row - topRow + 1 >= TOP_BAND_ROWS)
            break;
    }
    if (topRow < 0)
        return false;
    x = (first + last) / 2;
    y = topRow;
    return true;
}

// The program with the keyboard focus following the pointer, as on a bare server.
ProgramSession::Options bareServer()
{
    ProgramSession::Options options;
    options.focus = ProgramSession::Focus::FollowsPointer;
    return options;
}

bool topNear(const Capture& image, const Pixel& expected)
{
    Pixel top;
    return torusTop(image, top.x, top.y) && std::abs(top.x - expected.x) <= TOP_COLUMN_TOLERANCE &&
           std::abs(top.y - expected.y) <= TOP_ROW_TOLERANCE;
}

// Free camera at the start eye, level, turned by a yaw (radians).
Vec3 levelCentre(double yaw)
{
    return {START_EYE.x + std::sin(yaw), START_EYE.y, START_EYE.z - std::cos(yaw)};
}

// The eye moved a share t of the way from the start eye to the origin, along
// the start line of sight, and the centre with it.
Vec3 flownEye(double t)
{
    return {START_EYE.x * (1 - t), START_EYE.y * (1 - t), START_EYE.z * (1 - t)};
}

Vec3 flownCentre(double t)
{
    return {-START_EYE.x * t, -START_EYE.y * t, -START_EYE.z * t};
}

} // namespace

TEST(CameraEndToEnd, MouseCameraTurnsWithThePointerAndHidesIt)
{
    ProgramSession session(bareServer());
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    XDriver& driver = session.driver();
    driver.movePointerIn(session.window(), 300, 200);
    EXPECT_TRUE(session.waitForPointerHidden(false)) << "keyboard camera: the pointer shows";
    ASSERT_TRUE(session.chooseHere(MenuChoice::MouseCamera));
    EXPECT_TRUE(session.waitForPointerHidden(true)) << "mouse camera: the pointer is hidden";

    // An event where the menu left the pointer turns nothing but aims the
    // view level along -z, and the pointer is sent home.
    int x = 0;
    int y = 0;
    ASSERT_TRUE(driver.pointerIn(session.window(), x, y));
    driver.movePointerIn(session.window(), x, y);
    EXPECT_TRUE(session.waitForPointerAt(POINTER_HOME_X, POINTER_HOME_Y));
    const Pixel level = expectedTop(START_EYE, levelCentre(0.0));
    Capture shot;
    EXPECT_TRUE(session.waitForScreen([&](const Capture& c) { return topNear(c, level); }, WAIT_MS, &shot));
    session.keep(shot, "mouse-level");

    // Sixty pixels right: 0.24 rad to the right, and the pointer is sent home.
    constexpr int push = 60;
    driver.movePointerIn(session.window(), POINTER_HOME_X + push, POINTER_HOME_Y);
    const Pixel turned = expectedTop(START_EYE, levelCentre(push * MOUSE_RADIANS_PER_PIXEL));
    EXPECT_LT(turned.x, level.x - 100) << "the torus moves well to the left";
    EXPECT_TRUE(session.waitForScreen([&](const Capture& c) { return topNear(c, turned); }, WAIT_MS, &shot));
    session.keep(shot, "mouse-turned");
    EXPECT_TRUE(session.waitForPointerAt(POINTER_HOME_X, POINTER_HOME_Y));
    EXPECT_TRUE(driver.cursorHidden());

    // Keyboard camera again: the pointer shows and moving it turns nothing.
    ASSERT_TRUE(session.chooseHere(MenuChoice::MouseCamera));
    EXPECT_TRUE(session.waitForPointerHidden(false));
    constexpr int restX = 900;
    constexpr int restY = 200;
    driver.movePointerIn(session.window(), restX, restY);
    for (int frame = 0; frame < FRAMES_TO_WATCH; ++frame) {
        const Capture before = shot;
        ASSERT_TRUE(session.waitForScreen(
            [&](const Capture& c) { return c.rgb != before.rgb; }, WAIT_MS, &shot))
            << "the spinning torus changes every frame";
    }
    EXPECT_TRUE(topNear(shot, turned)) << "the view stays as the mouse left it";
    ASSERT_TRUE(driver.pointerIn(session.window(), x, y));
    EXPECT_EQ(x, restX);
    EXPECT_EQ(y, restY);
}

TEST(CameraEndToEnd, ArrowKeysFlyAlongTheLineOfSight)
{
    ProgramSession session(bareServer());
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    session.driver().movePointerIn(session.window(), POINTER_HOME_X, 600);
    session.driver().focus(session.window());
    Capture shot;
    ASSERT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return topNear(c, expectedTop(START_EYE, START_CENTRE)); }, WAIT_MS, &shot));
    session.keep(shot, "fly-start");

    // Each tap is one tick's flight along the line from the eye to the origin,
    // which keeps the origin in the middle of the view: the torus's top climbs
    // (Up) or sinks (Down) the middle column. Taps, not a held key, so that
    // where the view ends does not depend on how fast frames are read back.
    int ticks = 0;
    const auto tap = [&](const char* key, int way, const char* name) {
        session.driver().burst([&] {
            session.driver().keyDown(key);
            session.driver().keyUp(key);
        });
        ticks += way;
        const double t = ticks * FLIGHT_PER_TICK;
        const Pixel expected = expectedTop(flownEye(t), flownCentre(t));
        const int stepAbove = std::abs(expectedTop(flownEye(t + FLIGHT_PER_TICK),
                                                   flownCentre(t + FLIGHT_PER_TICK)).y - expected.y);
        const int stepBelow = std::abs(expectedTop(flownEye(t - FLIGHT_PER_TICK),
                                                   flownCentre(t - FLIGHT_PER_TICK)).y - expected.y);
        const int rowTolerance = std::min(stepAbove, stepBelow) / 2;
        const int columnTolerance = static_cast<int>(TOP_COLUMN_TOLERANCE / (1.0 - t));
        const bool arrived = session.waitForScreen([&](const Capture& c) {
            Pixel top;
            return torusTop(c, top.x, top.y) && std::abs(top.y - expected.y) < rowTolerance;
        }, WAIT_MS, &shot);
        Pixel top;
        const bool found = torusTop(shot, top.x, top.y);
        ASSERT_TRUE(arrived) << name << " tap to " << ticks << " ticks: the torus's top is not at row "
                             << expected.y << " (" << (found ? top.y : -1) << ")";
        EXPECT_NEAR(top.x, expected.x, columnTolerance) << "off the line of sight at " << ticks;
    };
    for (int n = 0; n < FORWARD_TAPS; ++n)
        ASSERT_NO_FATAL_FAILURE(tap("Up", 1, "Up"));
    session.keep(shot, "fly-forward");
    // Back past the start: the torus shrinks.
    for (int n = 0; n < FORWARD_TAPS + BACK_PAST_START_TAPS; ++n)
        ASSERT_NO_FATAL_FAILURE(tap("Down", -1, "Down"));
    session.keep(shot, "fly-back");
}
