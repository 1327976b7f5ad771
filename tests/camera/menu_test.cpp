// The right-button menu's callback on a real GL context: the chase view's
// matrices, the mouse camera with real pointer motion, and redisplay. Every
// order of the toggles is checked against their table in the scenarios'
// menu sequence test.
#include "app/app.h"
#include "app/scene.h"
#include "platform/gl.h"
#include "tests/support/program.h"
#include "tests/support/view_math.h"
#include "tests/support/xdriver.h"
#include "tests/camera/camera_fixture.h"


namespace {

constexpr int HOME_X = 640; // window pixels
constexpr int HOME_Y = 360;

Matrix4 modelView()
{
    Matrix4 m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

void expectMatrixNear(const Matrix4& actual, const Matrix4& expected, const char* what)
{
    constexpr double tolerance = 1e-5;
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << what << ", element " << i;
}

} // namespace

class MenuTest : public CameraTest {};

TEST_F(MenuTest, LockTwiceReturnsExactlyTheSameFreeView)
{
    // Somewhere other than the start, so that the free view is not a default.
    Camera& camera = *theCamera;
    camera.eye = {1.5f, 0.75f, 3.25f};
    camera.centre = {1.0f, 0.5f, 2.5f};
    selectView(*theScene);
    const Matrix4 freeView = modelView();
    expectMatrixNear(freeView, lookAt({1.5, 0.75, 3.25}, {1.0, 0.5, 2.5}), "free view");

    onMenu(MENU_LOCK_CAMERA);
    EXPECT_EQ(cameraLocked, 1);
    EXPECT_EQ(camera.followTank, 1);
    selectView(*theScene);
    // The tank is unmoved: the chase view looks from (-0.6, 0.45, 0) at (1.5, 0.25, 0).
    expectMatrixNear(modelView(), lookAt({-0.6, 0.45, 0.0}, {1.5, 0.25, 0.0}), "chase view");

    onMenu(MENU_LOCK_CAMERA);
    EXPECT_EQ(cameraLocked, 0);
    EXPECT_EQ(camera.followTank, 0);
    selectView(*theScene);
    const Matrix4 again = modelView();
    for (std::size_t i = 0; i < again.size(); ++i)
        EXPECT_EQ(again[i], freeView[i]) << "element " << i;
}

class MenuRedisplayTest : public MenuTest {
protected:
    // Handle events until a pump draws no frame: nothing left to redisplay.
    static void settle()
    {
        for (int i = 0; i < 100; ++i) {
            const float angle = theScene->torusAngle;
            pumpEvents();
            pumpEvents();
            if (theScene->torusAngle == angle)
                return;
        }
        FAIL() << "the window keeps redrawing by itself";
    }
};

TEST_F(MenuRedisplayTest, EveryEntryButExitDrawsAFrame)
{
    constexpr int values[] = {MENU_LOCK_CAMERA, MENU_MOUSE_CAMERA, MENU_WIREFRAME, MENU_VERTEX,
                              0, 6, -1};
    for (const int value : values) {
        settle();
        const float angle = theScene->torusAngle;
        onMenu(value);
        pumpEvents();
        EXPECT_EQ(theScene->torusAngle, static_cast<float>(angle + 0.1)) << "entry " << value;
    }
}

class MouseCameraMenuTest : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        window = programWindow();
        // Start with the pointer resting at home over the window.
        moveAndDeliver(HOME_X, HOME_Y);
    }

    // Move the real pointer, then let the toolkit read and handle every event
    // the server made of it: the XTest request is done after our sync, and a
    // round trip on the toolkit's connection queues all events sent before it.
    void moveAndDeliver(int x, int y)
    {
        driver.movePointerIn(window, x, y);
        driver.sync();
        deliver();
    }

    static void deliver()
    {
        glutGet(GLUT_WINDOW_X);
        pumpEvents();
    }

    XDriver& driver = programDriver();
    WindowId window = 0;
};

TEST_F(MouseCameraMenuTest, ToggleInstallsAndRemovesMouseLook)
{
    ASSERT_EQ(theCamera->yaw, 0.0f);
    moveAndDeliver(HOME_X + 60, HOME_Y + 40);
    EXPECT_EQ(theCamera->yaw, 0.0f) << "keyboard mode: the mouse has no effect";
    EXPECT_EQ(theCamera->pitch, 0.0f);

    onMenu(MENU_MOUSE_CAMERA);
    EXPECT_EQ(mouseCameraMode, 1);
    // Sixty pixels right of where the pointer was: 0.24 rad, and the pointer
    // goes home; the next motion measures from there.
    moveAndDeliver(HOME_X + 120, HOME_Y + 40);
    EXPECT_FLOAT_EQ(theCamera->yaw, 0.24f);
    EXPECT_EQ(theCamera->pitch, 0.0f);
    EXPECT_TRUE(waitForProgramPointerAt(HOME_X, HOME_Y));

    // The chase view leaves the mouse camera alone.
    onMenu(MENU_LOCK_CAMERA);
    EXPECT_EQ(mouseCameraMode, 1);
    moveAndDeliver(HOME_X - 60, HOME_Y);
    EXPECT_NEAR(theCamera->yaw, 0.0f, 1e-6f);

    onMenu(MENU_MOUSE_CAMERA);
    EXPECT_EQ(mouseCameraMode, 0);
    const float yaw = theCamera->yaw;
    moveAndDeliver(HOME_X + 200, HOME_Y - 100);
    EXPECT_EQ(theCamera->yaw, yaw);
    EXPECT_EQ(theCamera->pitch, 0.0f);
    int x = 0;
    int y = 0;
    ASSERT_TRUE(driver.pointerIn(window, x, y));
    EXPECT_EQ(x, HOME_X + 200) << "the pointer is no longer sent home";
}
