// A reshape to no height at all, which X cannot produce, run in the program's
// own process: frames drawn then raise no fault and no GL error, and at a
// size again the start view is drawn for that size.
#include "app/app.h"
#include "camera/camera.h"
#include "platform/gl.h"
#include "tests/support/program_test.h"
#include "tests/support/scene_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

constexpr int WIDTH = 1280; // the program's window at start, pixels
constexpr int HEIGHT = 720;

} // namespace

class ZeroHeightReshapeTest : public ProgramTest {};

TEST_F(ZeroHeightReshapeTest, FramesDrawnAtNoHeightThenAtASizeAgain)
{
    constexpr int WIDE = 800;
    constexpr int TALL = 600;
    for (const auto& [width, height] : {std::pair{WIDE, 0}, std::pair{0, 0}, std::pair{WIDE, 1}}) {
        onReshape(width, height);
        drawFrame();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << width << " x " << height;
        EXPECT_TRUE(std::isfinite(theCamera->aspect)) << width << " x " << height;
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], width);
        EXPECT_EQ(viewport[3], height);
    }
    onReshape(WIDE, TALL);
    EXPECT_FLOAT_EQ(theCamera->aspect, static_cast<float>(WIDE) / TALL);
    drawFrame();
    // The near side of the hull, under the start view for 800 x 600.
    ScreenPoint hull;
    ASSERT_TRUE(startView(WIDE, TALL).project({0.0, 0.09, 0.18}, hull));
    const Rgb pixel = readBackPixel(static_cast<int>(hull.x), TALL - 1 - static_cast<int>(hull.y));
    EXPECT_TRUE(isTankGrey(pixel.red, pixel.green, pixel.blue))
        << pixel.red << ", " << pixel.green << ", " << pixel.blue;
    onReshape(WIDTH, HEIGHT);
}
