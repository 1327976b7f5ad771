// The free camera of the real program under real keys and real pointer motion
// on a private X server, checked against where the torus must appear.
#include "tests/camera/live_program.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace camera_e2e;

namespace {

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

struct Pixel {
    int x = 0;
    int y = 0;
};

Pixel expectedTop(const Vec3& eye, const Vec3& centre)
{
    Pixel pixel;
    EXPECT_TRUE(projectToPixel(TORUS_TOP, eye, centre, pixel.x, pixel.y));
    return pixel;
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
    LiveProgram session;
    ASSERT_TRUE(session.ready());
    XDriver& driver = session.driver();
    driver.movePointerIn(session.window(), 300, 200);
    EXPECT_TRUE(session.waitForCursorHidden(false)) << "keyboard camera: the pointer shows";
    ASSERT_TRUE(session.pickRow(ROW_MOUSE));
    EXPECT_TRUE(session.waitForCursorHidden(true)) << "mouse camera: the pointer is hidden";

    // An event where the menu left the pointer turns nothing but aims the
    // view level along -z, and the pointer is sent home.
    int x = 0;
    int y = 0;
    ASSERT_TRUE(driver.pointerIn(session.window(), x, y));
    driver.movePointerIn(session.window(), x, y);
    EXPECT_TRUE(session.waitForPointerAt(POINTER_HOME_X, POINTER_HOME_Y));
    const Pixel level = expectedTop(START_EYE, levelCentre(0.0));
    Capture shot;
    EXPECT_TRUE(session.waitForFrame([&](const Capture& c) { return topNear(c, level); }, &shot));
    session.save(shot, "mouse-level");

    // Sixty pixels right: 0.24 rad to the right, and the pointer is sent home.
    constexpr int push = 60;
    driver.movePointerIn(session.window(), POINTER_HOME_X + push, POINTER_HOME_Y);
    const Pixel turned = expectedTop(START_EYE, levelCentre(push * MOUSE_RADIANS_PER_PIXEL));
    EXPECT_LT(turned.x, level.x - 100) << "the torus moves well to the left";
    EXPECT_TRUE(session.waitForFrame([&](const Capture& c) { return topNear(c, turned); }, &shot));
    session.save(shot, "mouse-turned");
    EXPECT_TRUE(session.waitForPointerAt(POINTER_HOME_X, POINTER_HOME_Y));
    EXPECT_TRUE(driver.cursorHidden());

    // Keyboard camera again: the pointer shows and moving it turns nothing.
    ASSERT_TRUE(session.pickRow(ROW_MOUSE));
    EXPECT_TRUE(session.waitForCursorHidden(false));
    constexpr int restX = 900;
    constexpr int restY = 200;
    driver.movePointerIn(session.window(), restX, restY);
    for (int frame = 0; frame < FRAMES_TO_WATCH; ++frame) {
        const Capture before = shot;
        ASSERT_TRUE(session.waitForFrame(
            [&](const Capture& c) { return c.rgb != before.rgb; }, &shot))
            << "the spinning torus changes every frame";
    }
    EXPECT_TRUE(topNear(shot, turned)) << "the view stays as the mouse left it";
    ASSERT_TRUE(driver.pointerIn(session.window(), x, y));
    EXPECT_EQ(x, restX);
    EXPECT_EQ(y, restY);
}

TEST(CameraEndToEnd, ArrowKeysFlyAlongTheLineOfSight)
{
    LiveProgram session;
    ASSERT_TRUE(session.ready());
    session.driver().movePointerIn(session.window(), POINTER_HOME_X, 600);
    session.driver().focus(session.window());
    const Pixel start = expectedTop(START_EYE, START_CENTRE);
    Capture shot;
    ASSERT_TRUE(session.waitForFrame([&](const Capture& c) { return topNear(c, start); }, &shot));
    session.save(shot, "fly-start");

    // Flying along the line from the eye to the origin keeps the origin in the
    // middle of the view: the torus grows, its top climbing the middle column.
    int worstColumn = 0;
    auto climbedTo = [&](const Pixel& target, bool upwards) {
        return [&, target, upwards](const Capture& c) {
            Pixel top;
            if (!torusTop(c, top.x, top.y))
                return false;
            worstColumn = std::max(worstColumn, std::abs(top.x - start.x));
            return upwards ? top.y <= target.y : top.y >= target.y;
        };
    };
    const Pixel nearer = expectedTop(flownEye(0.25), flownCentre(0.25));
    session.keyDown("Up");
    EXPECT_TRUE(session.waitForFrame(climbedTo(nearer, true), &shot));
    session.keyUp("Up");
    session.save(shot, "fly-forward");

    // Back past the start: the torus shrinks, its top sinking down the middle.
    const Pixel farther = expectedTop(flownEye(-0.25), flownCentre(-0.25));
    session.keyDown("Down");
    EXPECT_TRUE(session.waitForFrame(climbedTo(farther, false), &shot));
    session.keyUp("Down");
    session.save(shot, "fly-back");
    EXPECT_LE(worstColumn, TOP_COLUMN_TOLERANCE);
}
