// Mouse look: pointer positions handed straight to mouseLook, and the pointer
// it sends back home, read from the X server.
#include "camera/controls.h"
#include "platform/gl.h"
#include "tests/support/program.h"
#include "tests/support/xdriver.h"
#include "tests/camera/camera_fixture.h"

namespace {

constexpr int HOME_X = 640; // window pixels
constexpr int HOME_Y = 360;
constexpr float RADIANS_PER_PIXEL_NUMERATOR = 0.04f; // per 10 pixels
constexpr float PIXELS_PER_STEP = 10.0f;

// Angle change of a pointer displacement, single precision as the camera keeps it.
float angleOf(int pixels)
{
    return static_cast<float>(pixels) / PIXELS_PER_STEP * RADIANS_PER_PIXEL_NUMERATOR;
}

} // namespace

class MouseLookTest : public CameraTest {
protected:
    Camera& camera() { return *theCamera; }

    void expectAimedAlongSight()
    {
        expectPointNear(camera().centre,
                        plus(toVec(camera().eye), lineOfSight(camera().yaw, camera().pitch)),
                        "centre");
    }
};

TEST_F(MouseLookTest, EventAtHomeTurnsNothingButAimsTheCentre)
{
    mouseLook(HOME_X, HOME_Y);
    EXPECT_EQ(camera().yaw, 0.0f);
    EXPECT_EQ(camera().pitch, 0.0f);
    // From looking down at the origin to looking level along -z.
    expectPointNear(camera().centre, {0.0f, 2.0f, 4.0f}, "centre");
    expectPointNear(camera().eye, START_EYE, "eye", 0.0f);
    expectFixedFieldsUnchanged(camera());
}

TEST_F(MouseLookTest, DisplacementFromHomeTurnsAndTilts)
{
    // 0.004 rad per pixel: one pixel right, then ten.
    mouseLook(HOME_X + 1, HOME_Y);
    EXPECT_NEAR(camera().yaw, 0.004f, 1e-9f);
    EXPECT_EQ(camera().pitch, 0.0f);
    expectAimedAlongSight();
    mouseLook(HOME_X + 10, HOME_Y);
    EXPECT_NEAR(camera().yaw, 0.044f, 1e-8f);
    EXPECT_EQ(camera().yaw, angleOf(1) + angleOf(10));
    EXPECT_EQ(camera().pitch, 0.0f);
    expectAimedAlongSight();

    // Pointer up raises the pitch, down lowers it; both measure from home.
    mouseLook(HOME_X, HOME_Y - 25);
    EXPECT_EQ(camera().pitch, angleOf(25));
    EXPECT_EQ(camera().yaw, angleOf(1) + angleOf(10));
    expectAimedAlongSight();
    mouseLook(HOME_X - 30, HOME_Y + 75);
    EXPECT_EQ(camera().pitch, angleOf(25) - angleOf(75));
    EXPECT_EQ(camera().yaw, angleOf(1) + angleOf(10) - angleOf(30));
    expectAimedAlongSight();
    expectFixedFieldsUnchanged(camera());
}

TEST_F(MouseLookTest, JerkNearTheLimitTurnsOverTheTopAndLocksUpwardMotion)
{
    // 360 then 20 pixels up: 1.44 + 0.08 = 1.52, still short of the limit.
    mouseLook(HOME_X, 0);
    mouseLook(HOME_X, HOME_Y - 20);
    float expected = angleOf(360) + angleOf(20);
    ASSERT_EQ(camera().pitch, expected);
    ASSERT_LT(camera().pitch, PITCH_LIMIT);

    // A 100-pixel jerk is made whole: past a quarter turn, the view turned over.
    mouseLook(HOME_X, HOME_Y - 100);
    expected += angleOf(100);
    EXPECT_EQ(camera().pitch, expected);
    EXPECT_GT(camera().pitch, QUARTER_TURN);
    expectAimedAlongSight();
    EXPECT_GT(camera().centre.z, camera().eye.z) << "looking back over the top along +z";

    // Further upward motion does nothing while the pitch is past the limit.
    mouseLook(HOME_X, HOME_Y - 50);
    mouseLook(HOME_X, HOME_Y - 1);
    EXPECT_EQ(camera().pitch, expected);

    // Down 10 pixels: still past the limit, so up is still locked.
    mouseLook(HOME_X, HOME_Y + 10);
    expected -= angleOf(10);
    EXPECT_EQ(camera().pitch, expected);
    ASSERT_GE(camera().pitch, PITCH_LIMIT);
    mouseLook(HOME_X, HOME_Y - 10);
    EXPECT_EQ(camera().pitch, expected);

    // Down below the limit, and up works again.
    mouseLook(HOME_X, HOME_Y + 100);
    expected -= angleOf(100);
    ASSERT_LT(camera().pitch, PITCH_LIMIT);
    mouseLook(HOME_X, HOME_Y - 10);
    expected += angleOf(10);
    EXPECT_EQ(camera().pitch, expected);
    EXPECT_EQ(camera().yaw, 0.0f);
    expectFixedFieldsUnchanged(camera());
}

TEST_F(MouseLookTest, JerkDownwardsMirrorsAtTheLowerLimit)
{
    mouseLook(HOME_X, HOME_Y + 380); // -1.52
    mouseLook(HOME_X, HOME_Y + 100); // -1.92: past the limit
    const float expected = -(angleOf(380) + angleOf(100));
    EXPECT_EQ(camera().pitch, expected);
    mouseLook(HOME_X, HOME_Y + 50);
    EXPECT_EQ(camera().pitch, expected);
    mouseLook(HOME_X, HOME_Y - 50);
    EXPECT_EQ(camera().pitch, expected + angleOf(50));
}

TEST_F(MouseLookTest, YawIsNeitherLimitedNorWrapped)
{
    float expected = 0.0f;
    for (int i = 0; i < 12; ++i) {
        mouseLook(1280, HOME_Y);
        expected += angleOf(1280 - HOME_X);
    }
    // Twelve events of 2.56 rad: nearly five turns, kept as they are.
    EXPECT_EQ(camera().yaw, expected);
    EXPECT_GT(camera().yaw, 30.0f);
    expectAimedAlongSight();
    expectFixedFieldsUnchanged(camera());
}

class PointerHomeTest : public MouseLookTest {
protected:
    void SetUp() override
    {
        MouseLookTest::SetUp();
        window = programWindow();
    }

    // Put the pointer somewhere else in the window and make sure it is there.
    void parkPointer()
    {
        driver.movePointerIn(window, PARK_X, PARK_Y);
        driver.sync();
        ASSERT_TRUE(pointerAt(PARK_X, PARK_Y));
    }

    bool pointerAt(int x, int y)
    {
        int px = -1;
        int py = -1;
        return driver.pointerIn(window, px, py) && px == x && py == y;
    }

    // The program's own connection has sent everything it queued: a round
    // trip on it (the window position query) flushes and waits.
    static void programRoundTrip() { glutGet(GLUT_WINDOW_X); }

    static constexpr int PARK_X = 100;
    static constexpr int PARK_Y = 100;
    XDriver& driver = programDriver();
    WindowId window = 0;
};

TEST_F(PointerHomeTest, PointerIsSentBackHomeWhenItMoved)
{
    struct Event {
        int x;
        int y;
    };
    for (const Event& event : {Event{700, HOME_Y}, Event{HOME_X, 300}, Event{900, 500}}) {
        SCOPED_TRACE(testing::Message() << event.x << "," << event.y);
        parkPointer();
        mouseLook(event.x, event.y);
        EXPECT_TRUE(waitForProgramPointerAt(HOME_X, HOME_Y));
    }
}

TEST_F(PointerHomeTest, EventAtHomeSendsNothing)
{
    parkPointer();
    mouseLook(HOME_X, HOME_Y);
    programRoundTrip();
    driver.sync();
    EXPECT_TRUE(pointerAt(PARK_X, PARK_Y));
}
