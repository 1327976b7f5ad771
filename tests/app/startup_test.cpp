#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"
#include "tests/support/program_test.h"

class StartupTest : public ProgramTest {};

TEST_F(StartupTest, WindowIsOpenAtItsStartSize)
{
    EXPECT_EQ(glutGet(GLUT_WINDOW_WIDTH), 1280);
    EXPECT_EQ(glutGet(GLUT_WINDOW_HEIGHT), 720);
    EXPECT_FLOAT_EQ(theCamera->aspect, 1280.0f / 720.0f);
}
