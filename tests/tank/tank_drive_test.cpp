// The tank's keys, one tick at a time, and the chase view that follows it.
#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "tank/tank.h"
#include "tests/geometry/mesh_capture.h"
#include "tests/support/program_test.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr double POSITION_TOLERANCE = 1e-6; // scene units, single precision
constexpr double STEP = 0.035;              // scene units per tick

struct ChaseView {
    Vec3 eye;
    Vec3 centre;
};

class TankDriveTest : public ProgramRecordsTest {
protected:
    Tank& tank() { return *theScene->tank; }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            driveTank(tank());
    }

    void hold(std::initializer_list<int> keys, int ticks)
    {
        for (int key : keys)
            pressKey(key);
        tick(ticks);
        for (int key : keys)
            releaseKey(key);
    }

    ChaseView chase()
    {
        const Tank& t = tank();
        return {{chaseCoordinate(t, 3), chaseCoordinate(t, 4), chaseCoordinate(t, 5)},
                {chaseCoordinate(t, 0), chaseCoordinate(t, 1), chaseCoordinate(t, 2)}};
    }

    Vec3 position() { return toVec3(tank().position); }
};

void expectNear(const Vec3& got, const Vec3& want, double tolerance = POSITION_TOLERANCE)
{
    EXPECT_LT(length(got - want), tolerance)
        << "expected " << describe(want) << ", got " << describe(got);
}

void expectChase(const ChaseView& view, const Vec3& eye, const Vec3& centre)
{
    expectNear(view.eye, eye);
    expectNear(view.centre, centre);
}

TEST_F(TankDriveTest, WDrivesOneStepAlongThePlusXItFacesAndSBacksUp)
{
    hold({'W'}, 1);
    EXPECT_FLOAT_EQ(tank().position.x, 0.035f);
    EXPECT_EQ(tank().position.y, 0.0f);
    EXPECT_LT(std::abs(tank().position.z), 1e-8);
    hold({'S'}, 1);
    expectNear(position(), {0, 0, 0});
    EXPECT_EQ(tank().position.y, 0.0f);
    hold({'S'}, 2);
    expectNear(position(), {-2 * STEP, 0, 0});
}

TEST_F(TankDriveTest, NinetyTicksOfATurnTheTankToDriveAlongMinusZ)
{
    hold({'A'}, 90);
    EXPECT_EQ(tank().heading, 270.0f);
    hold({'W'}, 1);
    expectNear(position(), {0, 0, -STEP});
    // The chase view turns with the hull: from 0.6 behind (+z) towards 1.5 ahead (-z).
    const Vec3 z = {0, 0, -STEP};
    expectChase(chase(), z + Vec3{0, 0.45, 0.6}, z + Vec3{0, 0.25, -1.5});
}

TEST_F(TankDriveTest, TurretQuarterTurnSwingsTheViewButNotTheDriving)
{
    hold({'Q'}, 45);
    EXPECT_EQ(tank().turretAngle, 90.0f);
    EXPECT_EQ(tank().heading, 180.0f);
    expectChase(chase(), {0, 0.45, 0.6}, {0, 0.25, -1.5});
    hold({'W'}, 1);
    expectNear(position(), {STEP, 0, 0});
    hold({'E'}, 45);
    EXPECT_EQ(tank().turretAngle, 0.0f);
}

TEST_F(TankDriveTest, OpposingKeysCancelWithinATick)
{
    hold({'W', 'S'}, 10);
    expectNear(position(), {0, 0, 0});
    hold({'A', 'D'}, 10);
    EXPECT_EQ(tank().heading, 180.0f);
    hold({'Q', 'E'}, 10);
    EXPECT_EQ(tank().turretAngle, 0.0f);
    // Turning while driving: this tick's move still uses the heading before the turn.
    hold({'W', 'A'}, 1);
    EXPECT_FLOAT_EQ(tank().position.x, 0.035f);
    EXPECT_LT(std::abs(tank().position.z), 1e-8);
    EXPECT_EQ(tank().heading, 181.0f);
}

TEST_F(TankDriveTest, BarrelElevationStopsAtItsLimits)
{
    hold({'R'}, 70);
    EXPECT_EQ(tank().barrelElevation, 35.0f);
    hold({'R'}, 10);
    EXPECT_EQ(tank().barrelElevation, 35.0f);
    hold({'F'}, 100);
    EXPECT_EQ(tank().barrelElevation, -15.0f);
    hold({'F'}, 10);
    EXPECT_EQ(tank().barrelElevation, -15.0f);
    hold({'R'}, 30);
    EXPECT_EQ(tank().barrelElevation, 0.0f);
    hold({'F'}, 30);
    EXPECT_EQ(tank().barrelElevation, -15.0f);
}

TEST_F(TankDriveTest, RaiseAndLowerTogetherHoldTheBarrelExceptAtTheTop)
{
    hold({'R', 'F'}, 5);
    EXPECT_EQ(tank().barrelElevation, 0.0f);
    hold({'R'}, 70);
    ASSERT_EQ(tank().barrelElevation, 35.0f);
    hold({'R', 'F'}, 1);
    EXPECT_EQ(tank().barrelElevation, 34.5f);
    hold({'R', 'F'}, 5);
    EXPECT_EQ(tank().barrelElevation, 34.5f);
    hold({'F'}, 100);
    ASSERT_EQ(tank().barrelElevation, -15.0f);
    hold({'R', 'F'}, 5);
    EXPECT_EQ(tank().barrelElevation, -15.0f);
}

TEST_F(TankDriveTest, HeadingsAreNotWrappedAndActAsTheirEquivalentAngles)
{
    tank().heading = 359.0f;
    hold({'A'}, 2);
    EXPECT_EQ(tank().heading, 361.0f);
    tank().heading = 1.0f;
    hold({'D'}, 2);
    EXPECT_EQ(tank().heading, -1.0f);

    // Each pair of headings is one direction; driving and the view must agree.
    constexpr double SAME_ANGLE_TOLERANCE = 1e-5; // single-precision radians of large angles
    const float pairs[][2] = {{450, 90}, {-270, 90}, {900, 180}, {-45, 315}, {3 * 360 + 30, 30}};
    for (const auto& pair : pairs) {
        ChaseView views[2];
        Vec3 moved[2];
        for (int k = 0; k < 2; ++k) {
            tank().position = {1.0f, 0.0f, -2.0f};
            tank().heading = pair[k];
            tank().turretAngle = 20.0f;
            hold({'W'}, 1);
            moved[k] = position();
            views[k] = chase();
        }
        SCOPED_TRACE(pair[0]);
        expectNear(moved[0], moved[1], SAME_ANGLE_TOLERANCE);
        expectNear(views[0].eye, views[1].eye, SAME_ANGLE_TOLERANCE);
        expectNear(views[0].centre, views[1].centre, SAME_ANGLE_TOLERANCE);
    }
}

TEST_F(TankDriveTest, ChaseViewStartsBehindTheTankLookingAlongPlusX)
{
    expectChase(chase(), {-0.6, 0.45, 0}, {1.5, 0.25, 0});
    // The view's heights are absolute and the barrel does not move it.
    tank().position.y = 3.0f;
    tank().barrelElevation = 20.0f;
    expectChase(chase(), {-0.6, 0.45, 0}, {1.5, 0.25, 0});
}

void expectChaseViewLoaded(const Vec3& eye, const Vec3& centre)
{
    selectView(*theScene);
    GLdouble loaded[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, loaded);
    const Matrix4 want = lookAt(eye, centre, {0, 1, 0});
    constexpr double MATRIX_TOLERANCE = 1e-5; // GLU works in single precision
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_NEAR(loaded[i], want[i], MATRIX_TOLERANCE) << "element " << i;
}

// The locked view as GL receives it: on a real GL context.
class TankLockedViewTest : public TankDriveTest {
protected:
    static void SetUpTestSuite() { startProgramInProcess(); }
    void SetUp() override { resetProgramState(); }
};

TEST_F(TankLockedViewTest, LockedViewLoadsTheLookAtFromBehindTheTank)
{
    theCamera->followTank = 1;
    cameraLocked = 1;
    expectChaseViewLoaded({-0.6, 0.45, 0}, {1.5, 0.25, 0});
    hold({'Q'}, 45);
    hold({'W'}, 10);
    const double x = 10 * STEP;
    expectChaseViewLoaded({x, 0.45, 0.6}, {x, 0.25, -1.5});
}

} // namespace
