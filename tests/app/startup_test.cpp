#include "app/app.h"
#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "tests/support/program.h"
#include "tests/support/program_test.h"

#include <cmath>
#include <string>

class StartupTest : public ProgramTest {};

TEST_F(StartupTest, WindowIsOpenAtItsStartSize)
{
    EXPECT_EQ(glutGet(GLUT_WINDOW_WIDTH), 1280);
    EXPECT_EQ(glutGet(GLUT_WINDOW_HEIGHT), 720);
    EXPECT_FLOAT_EQ(theCamera->aspect, 1280.0f / 720.0f);
}

// The program names its window itself as well, for a toolkit that has not
// named it before mapping it (the system's freeglut): whatever the window
// carried, it then has instance "quorvale" and class "Quorvale".
TEST_F(StartupTest, TheProgramNamesItsWindowForTheDesktop)
{
    const std::string window = std::to_string(programWindow());
    ASSERT_EQ(runCommand("xprop -id " + window + " -remove WM_CLASS").status, 0);
    nameWindow();
    const CommandResult named = runCommand("xprop -notype -id " + window + " WM_CLASS");
    EXPECT_NE(named.output.find("WM_CLASS = \"quorvale\", \"Quorvale\""), std::string::npos)
        << named.output;
}

// The start size by the desktop's DPI: 96 is 100 %, sizes round to whole
// pixels (halves away from zero), and a DPI that is no sane scale counts as 96.
TEST(WindowSizeForDpi, ScalesWithTheDesktopAndRoundsToWholePixels)
{
    const struct { double dpi; int width, height; } cases[] = {
        {96, 1280, 720}, {120, 1600, 900}, {144, 1920, 1080}, {192, 2560, 1440}, {288, 3840, 2160},
        {72, 960, 540}, {97, 1293, 728}, {144.5, 1927, 1084}, {24, 320, 180}, {960, 12800, 7200},
        {23.9, 1280, 720}, {960.5, 1280, 720}, {0, 1280, 720}, {-192, 1280, 720}, {NAN, 1280, 720},
        {INFINITY, 1280, 720}};
    for (const auto& c : cases) {
        EXPECT_EQ(windowSizeForDpi(c.dpi).width, c.width) << c.dpi;
        EXPECT_EQ(windowSizeForDpi(c.dpi).height, c.height) << c.dpi;
    }
}
