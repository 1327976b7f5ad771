// The free camera under the keys: one tick of keyboardFly or mouseModeWalk at a
// time, with the keys held through the program's own key table.
#include "camera/controls.h"
#include "platform/platform.h"
#include "tests/camera/camera_fixture.h"

#include <functional>
#include <vector>

namespace {

using Tick = std::function<void()>;

struct Mode {
    const char* name;
    Tick tick;
};

// Both camera modes share the forward and back moves.
const std::vector<Mode> bothModes = {{"keyboard mode", keyboardFly},
                                     {"mouse mode", mouseModeWalk}};

void runTicks(const Tick& tick, int count)
{
    for (int i = 0; i < count; ++i)
        tick();
}

} // namespace

class KeyboardControlsTest : public ProgramRecordsTest {
protected:
    // Back to start-up with no key held, before each mode is tried.
    void restart() { resetProgramRecords(); }
    Camera& camera() { return *theCamera; }
};

TEST_F(KeyboardControlsTest, FirstForwardAndBackTicksMoveByAShareOfTheStartSightLine)
{
    // At start centre - eye is (0, -2, -5): a tick moves 0.04 of it, (0, -0.08, -0.2).
    const Vec3f sight = minus(START_CENTRE, START_EYE);
    const Vec3f forward = scaled(NORMAL_STEP, sight);
    EXPECT_NEAR(forward.y, -0.08f, 1e-7f);
    EXPECT_NEAR(forward.z, -0.2f, 1e-7f);
    for (const Mode& mode : bothModes) {
        SCOPED_TRACE(mode.name);
        restart();
        pressKey(VK_UP);
        mode.tick();
        expectPointNear(camera().eye, plus(START_EYE, forward), "eye after Up");
        expectPointNear(camera().centre, plus(START_CENTRE, forward), "centre after Up");
        EXPECT_EQ(camera().yaw, 0.0f);
        EXPECT_EQ(camera().pitch, 0.0f);

        restart();
        pressKey(VK_DOWN);
        mode.tick();
        expectPointNear(camera().eye, minus(START_EYE, forward), "eye after Down");
        expectPointNear(camera().centre, minus(START_CENTRE, forward), "centre after Down");
        EXPECT_EQ(camera().step, NORMAL_STEP);
        expectFixedFieldsUnchanged(camera());
    }
}

TEST_F(KeyboardControlsTest, UpAndDownTogetherCancel)
{
    for (const Mode& mode : bothModes) {
        SCOPED_TRACE(mode.name);
        restart();
        pressKey(VK_UP);
        pressKey(VK_DOWN);
        runTicks(mode.tick, 5);
        expectPointNear(camera().eye, START_EYE, "eye");
        expectPointNear(camera().centre, START_CENTRE, "centre");
    }
}

TEST_F(KeyboardControlsTest, RightShiftAloneMovesNothingAndLastsOneTick)
{
    for (const Mode& mode : bothModes) {
        SCOPED_TRACE(mode.name);
        restart();
        pressKey(VK_RSHIFT);
        mode.tick();
        expectPointNear(camera().eye, START_EYE, "eye", 0.0f);
        expectPointNear(camera().centre, START_CENTRE, "centre", 0.0f);
        EXPECT_EQ(camera().step, NORMAL_STEP);
    }
}

TEST_F(KeyboardControlsTest, RightShiftWithUpMovesTheFastShare)
{
    const Vec3f fast = scaled(FAST_STEP, minus(START_CENTRE, START_EYE));
    for (const Mode& mode : bothModes) {
        SCOPED_TRACE(mode.name);
        restart();
        pressKey(VK_RSHIFT);
        pressKey(VK_UP);
        mode.tick();
        expectPointNear(camera().eye, plus(START_EYE, fast), "eye");
        expectPointNear(camera().centre, plus(START_CENTRE, fast), "centre");
        EXPECT_EQ(camera().step, NORMAL_STEP);
        // Without Shift the next tick is back to the normal share of the same vector.
        releaseKey(VK_RSHIFT);
        mode.tick();
        const Vec3f normal = scaled(NORMAL_STEP, minus(START_CENTRE, START_EYE));
        expectPointNear(camera().eye, plus(plus(START_EYE, fast), normal), "eye, second tick");
    }
}

TEST_F(KeyboardControlsTest, FirstTurnKeepsTheStartHeightOffset)
{
    struct Turn {
        int key;
        float yaw;
    };
    for (const Turn& turn : {Turn{VK_RIGHT, TURN}, Turn{VK_LEFT, -TURN}}) {
        SCOPED_TRACE(turn.key == VK_RIGHT ? "Right" : "Left");
        restart();
        pressKey(turn.key);
        keyboardFly();
        EXPECT_EQ(camera().yaw, turn.yaw);
        EXPECT_EQ(camera().pitch, 0.0f);
        const Vec3f offset = {static_cast<float>(std::sin(turn.yaw)), -2.0f,
                              static_cast<float>(-std::cos(turn.yaw))};
        expectPointNear(camera().eye, START_EYE, "eye", 0.0f);
        expectPointNear(camera().centre, plus(START_EYE, offset), "centre");
    }
}

TEST_F(KeyboardControlsTest, LeftAndRightTogetherKeepTheYawButAimTheCentre)
{
    pressKey(VK_LEFT);
    pressKey(VK_RIGHT);
    keyboardFly();
    EXPECT_EQ(camera().yaw, 0.0f);
    // The centre moves from the origin to one unit ahead of the eye, 2 below it.
    expectPointNear(camera().centre, plus(START_EYE, {0.0f, -2.0f, -1.0f}), "centre");
}

TEST_F(KeyboardControlsTest, FirstTiltAimsAlongTheLineOfSight)
{
    struct Tilt {
        int key;
        float pitch;
    };
    for (const Tilt& tilt : {Tilt{VK_HOME, TILT}, Tilt{VK_END, -TILT}}) {
        SCOPED_TRACE(tilt.key == VK_HOME ? "Home" : "End");
        restart();
        // Turn twice first so that the tilt has a yaw to use.
        pressKey(VK_RIGHT);
        runTicks(keyboardFly, 2);
        releaseKey(VK_RIGHT);
        pressKey(tilt.key);
        keyboardFly();
        const float yaw = TURN + TURN;
        EXPECT_EQ(camera().yaw, yaw);
        EXPECT_EQ(camera().pitch, tilt.pitch);
        expectPointNear(camera().centre, plus(START_EYE, lineOfSight(yaw, tilt.pitch)), "centre");
        // Now at unit distance: a forward tick moves 0.04 along the full sight line.
        releaseKey(tilt.key);
        pressKey(VK_UP);
        keyboardFly();
        const Vec3f moved = scaled(NORMAL_STEP, lineOfSight(yaw, tilt.pitch));
        expectPointNear(camera().eye, plus(START_EYE, moved), "eye after Up");
    }
}

TEST_F(KeyboardControlsTest, TurnAfterTiltKeepsTheHeightOffsetOfTheTilt)
{
    pressKey(VK_HOME);
    runTicks(keyboardFly, 10);
    releaseKey(VK_HOME);
    const float pitch = camera().pitch;
    pressKey(VK_RIGHT);
    keyboardFly();
    // The turn uses the yaw only: (sin yaw, sin pitch, -cos yaw), a little flatter than L.
    const Vec3f flatter = {static_cast<float>(std::sin(TURN)),
                           static_cast<float>(std::sin(static_cast<double>(pitch))),
                           static_cast<float>(-std::cos(TURN))};
    expectPointNear(camera().centre, plus(START_EYE, flatter), "centre");
    EXPECT_EQ(camera().pitch, pitch);
}

// Pitch after some ticks of one tilt key, worked out in single precision: a
// change is made only while the pitch is short of the limit in its direction.
float pitchAfterTicks(int ticks, float direction)
{
    float pitch = 0.0f;
    for (int i = 0; i < ticks; ++i)
        if (direction * static_cast<double>(pitch) < PITCH_LIMIT)
            pitch += direction * TILT;
    return pitch;
}

TEST_F(KeyboardControlsTest, TiltStopsJustPastTheLimit)
{
    struct Tilt {
        int key;
        float direction;
    };
    for (const Tilt& tilt : {Tilt{VK_HOME, 1.0f}, Tilt{VK_END, -1.0f}}) {
        SCOPED_TRACE(tilt.key == VK_HOME ? "Home" : "End");
        restart();
        pressKey(tilt.key);
        runTicks(keyboardFly, 38);
        EXPECT_LT(tilt.direction * camera().pitch, PITCH_LIMIT);
        keyboardFly();
        // 39 ticks: about 1.56, no longer short of the limit.
        const float stop = pitchAfterTicks(39, tilt.direction);
        EXPECT_NEAR(stop, tilt.direction * 1.56f, 1e-5f);
        EXPECT_EQ(camera().pitch, stop);
        EXPECT_GE(tilt.direction * camera().pitch, PITCH_LIMIT);
        runTicks(keyboardFly, 10);
        EXPECT_EQ(camera().pitch, stop);
        expectPointNear(camera().centre, plus(START_EYE, lineOfSight(0.0f, stop)), "centre");
        expectFixedFieldsUnchanged(camera());
    }
}

TEST_F(KeyboardControlsTest, MouseModeStepsSidewaysAtRightAnglesToTheYaw)
{
    constexpr float yaw = 0.7f;   // radians, set straight on the record
    constexpr float pitch = 0.3f; // radians
    const Vec3f eye = {1.0f, 2.5f, -3.0f};
    const Vec3f centre = {1.5f, 2.0f, -4.0f};
    struct Side {
        int key;
        float sign; // Left moves by -step * (cos yaw, 0, sin yaw)
        bool fast;
    };
    for (const Side& side : {Side{VK_LEFT, -1.0f, false}, Side{VK_RIGHT, 1.0f, false},
                             Side{VK_LEFT, -1.0f, true}}) {
        SCOPED_TRACE(side.key == VK_LEFT ? (side.fast ? "Left, Shift" : "Left") : "Right");
        restart();
        camera().yaw = yaw;
        camera().pitch = pitch;
        camera().eye = {eye.x, eye.y, eye.z};
        camera().centre = {centre.x, centre.y, centre.z};
        pressKey(side.key);
        if (side.fast)
            pressKey(VK_RSHIFT);
        mouseModeWalk();
        const float step = side.fast ? FAST_STEP : NORMAL_STEP;
        const Vec3f move = {side.sign * step * static_cast<float>(std::cos(yaw)), 0.0f,
                            side.sign * step * static_cast<float>(std::sin(yaw))};
        expectPointNear(camera().eye, plus(eye, move), "eye");
        expectPointNear(camera().centre, plus(centre, move), "centre");
        EXPECT_EQ(camera().eye.y, eye.y);
        EXPECT_EQ(camera().centre.y, centre.y);
        EXPECT_EQ(camera().yaw, yaw);
        EXPECT_EQ(camera().pitch, pitch);
        EXPECT_EQ(camera().step, NORMAL_STEP);
    }
}

TEST_F(KeyboardControlsTest, MouseModeIgnoresTiltKeysAndNeverTurns)
{
    for (int key : {VK_HOME, VK_END, VK_LEFT}) {
        restart();
        pressKey(key);
        pressKey(key == VK_LEFT ? VK_RIGHT : key);
        runTicks(mouseModeWalk, 3);
        EXPECT_EQ(camera().yaw, 0.0f) << key;
        EXPECT_EQ(camera().pitch, 0.0f) << key;
        // Left and Right together step out and back; the tilt keys do nothing.
        expectPointNear(camera().eye, START_EYE, "eye");
        expectPointNear(camera().centre, START_CENTRE, "centre");
        expectFixedFieldsUnchanged(camera());
    }
}
