// The projection and view that the program loads into GL for a frame, checked
// against matrices worked out here from the camera's figures.
#include "app/app.h"
#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"
#include "tests/app/gl_matrices.h"
#include "tests/support/program_test.h"

namespace {

// The free camera at start: eye (0, 2, 5) looking at the origin, y up, a 60
// degree field of view from 0.1 to 100 units, in the 1280 x 720 window.
constexpr Vec3 START_EYE = {0.0, 2.0, 5.0};
constexpr Vec3 ORIGIN = {0.0, 0.0, 0.0};
constexpr Vec3 Y_UP = {0.0, 1.0, 0.0};
constexpr double FOV_Y = 60.0;        // degrees
constexpr double Z_NEAR = 0.1;        // scene units
constexpr double Z_FAR = 100.0;       // scene units
constexpr float WINDOW_ASPECT = 1280.0f / 720.0f;
// The chase view of a tank that has not moved.
constexpr Vec3 CHASE_EYE = {-0.6, 0.45, 0.0};
constexpr Vec3 CHASE_CENTRE = {1.5, 0.25, 0.0};
// GL keeps matrices in single precision; the camera's figures are floats.
constexpr double MATRIX_TOLERANCE = 1e-5;

Matrix4 startProjection()
{
    return perspective(FOV_Y, static_cast<double>(WINDOW_ASPECT), Z_NEAR, Z_FAR);
}

// A camera record with its free-view fields set far from the start values,
// the up vector along z (which, unlike one along x, gives a different view for
// a line of sight along x as well).
void scrambleFreeView(Camera& camera)
{
    camera.eye = {7.0f, -3.0f, 2.0f};
    camera.centre = {-4.0f, 5.0f, 1.0f};
    camera.up = {0.0f, 0.0f, 1.0f};
}

bool samePoint(const Point3& a, const Point3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Every field of the two records equal.
bool sameCamera(const Camera& a, const Camera& b)
{
    return a.fovY == b.fovY && a.aspect == b.aspect && a.zNear == b.zNear && a.zFar == b.zFar &&
           samePoint(a.eye, b.eye) && samePoint(a.centre, b.centre) && samePoint(a.up, b.up) &&
           a.yaw == b.yaw && a.pitch == b.pitch && a.step == b.step &&
           a.lastMouseX == b.lastMouseX && a.lastMouseY == b.lastMouseY &&
           a.followTank == b.followTank;
}

} // namespace

class ViewTest : public ProgramTest {
protected:
    // Projection fields back to those of the start-up window.
    void TearDown() override { onReshape(1280, 720); }
};

TEST_F(ViewTest, FreeViewAtStartLooksFromTheStartEyeAtTheOrigin)
{
    selectView(*theScene);
    EXPECT_TRUE(matricesNear(projectionNow(), startProjection(), MATRIX_TOLERANCE));
    EXPECT_TRUE(matricesNear(modelViewNow(), lookAt(START_EYE, ORIGIN, Y_UP),
                             MATRIX_TOLERANCE));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(ViewTest, FreeViewFollowsTheRecordedEyeAndCentre)
{
    theCamera->eye = {3.0f, 1.5f, -4.0f};
    theCamera->centre = {-1.0f, 0.5f, 2.0f};
    selectView(*theScene);
    EXPECT_TRUE(matricesNear(modelViewNow(),
                             lookAt({3.0, 1.5, -4.0}, {-1.0, 0.5, 2.0}, Y_UP),
                             MATRIX_TOLERANCE));
}

TEST_F(ViewTest, FreeViewIgnoresTheCoordinatesHandedToApplyCamera)
{
    applyCamera(*theCamera, 9.0f, 8.0f, 7.0f, -3.0f, -2.0f, -1.0f);
    EXPECT_TRUE(matricesNear(projectionNow(), startProjection(), MATRIX_TOLERANCE));
    EXPECT_TRUE(matricesNear(modelViewNow(), lookAt(START_EYE, ORIGIN, Y_UP),
                             MATRIX_TOLERANCE));
}

TEST_F(ViewTest, ChaseViewLooksAlongTheTankWithYUpWhateverTheRecordHolds)
{
    theCamera->followTank = 1;
    scrambleFreeView(*theCamera);
    const Camera scrambled = *theCamera;
    selectView(*theScene);
    EXPECT_TRUE(matricesNear(projectionNow(), startProjection(), MATRIX_TOLERANCE));
    EXPECT_TRUE(matricesNear(modelViewNow(), lookAt(CHASE_EYE, CHASE_CENTRE, Y_UP),
                             MATRIX_TOLERANCE));
    // The record's free view is neither read nor changed.
    EXPECT_TRUE(sameCamera(*theCamera, scrambled));
}

TEST_F(ViewTest, ChaseViewUsesTheGivenEyeAndCentreWithYUp)
{
    theCamera->followTank = 1;
    scrambleFreeView(*theCamera);
    applyCamera(*theCamera, 2.0f, 3.0f, 4.0f, -1.0f, 0.0f, 0.5f);
    EXPECT_TRUE(matricesNear(modelViewNow(), lookAt({2.0, 3.0, 4.0}, {-1.0, 0.0, 0.5}, Y_UP),
                             MATRIX_TOLERANCE));
}

TEST_F(ViewTest, ProjectionFollowsTheRecordOnEveryFrame)
{
    theCamera->fovY = 45.0f;
    theCamera->aspect = 0.75f;
    theCamera->zNear = 0.5f;
    theCamera->zFar = 40.0f;
    selectView(*theScene);
    EXPECT_TRUE(matricesNear(projectionNow(), perspective(45.0, 0.75, 0.5, 40.0),
                             MATRIX_TOLERANCE));
}

TEST_F(ViewTest, LockingAndFreeingTheViewReturnsTheSameFreeView)
{
    // Move the free camera off its start so the check is not about defaults.
    theCamera->eye = {1.25f, 2.5f, 6.0f};
    theCamera->centre = {0.5f, 0.25f, -1.0f};
    drawFrame();
    selectView(*theScene);
    const Matrix4 freeView = modelViewNow();
    const Matrix4 freeProjection = projectionNow();
    const Camera record = *theCamera;

    onMenu(MENU_LOCK_CAMERA);
    ASSERT_EQ(theCamera->followTank, 1);
    // A few ticks with no key held, and frames in the chase view.
    for (int tick = 0; tick < 3; ++tick) {
        onIdle();
        drawFrame();
    }
    selectView(*theScene);
    EXPECT_FALSE(matricesNear(modelViewNow(), freeView, MATRIX_TOLERANCE))
        << "locking the view did not change it";
    onMenu(MENU_LOCK_CAMERA);
    ASSERT_EQ(theCamera->followTank, 0);
    onIdle();
    drawFrame();
    selectView(*theScene);
    EXPECT_EQ(modelViewNow(), freeView);
    EXPECT_EQ(projectionNow(), freeProjection);
    EXPECT_TRUE(sameCamera(*theCamera, record));
}
