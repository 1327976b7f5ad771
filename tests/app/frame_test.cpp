// One frame and the window callbacks: the viewport and projection fields a
// reshape writes, the torus's angle from frame to frame, and what a frame
// leaves in the back buffer.
#include "app/app.h"
#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"
#include "tests/app/gl_matrices.h"
#include "tests/support/program_test.h"

#include <array>
#include <cmath>

namespace {

constexpr int START_WIDTH = 1280;   // pixels
constexpr int START_HEIGHT = 720;   // pixels
constexpr double MATRIX_TOLERANCE = 1e-5;
constexpr double TORUS_STEP = 0.1;  // degrees per drawn frame
constexpr int FULL_TURN_FRAMES = 3600;
const Matrix4 START_VIEW = lookAt({0.0, 2.0, 5.0}, {0.0, 0.0, 0.0}, {0.0, 1.0, 0.0});

std::array<GLint, 4> viewport()
{
    std::array<GLint, 4> box{};
    glGetIntegerv(GL_VIEWPORT, box.data());
    return box;
}

// Projection fields set to values no reshape writes.
void spoilProjectionFields()
{
    theCamera->fovY = 12.0f;
    theCamera->aspect = 3.0f;
    theCamera->zNear = 7.0f;
    theCamera->zFar = 9.0f;
}

void expectProjectionFieldsReset()
{
    EXPECT_EQ(theCamera->fovY, 60.0f);
    EXPECT_EQ(theCamera->zNear, 0.1f);
    EXPECT_EQ(theCamera->zFar, 100.0f);
}

// The torus angle after `frames` frames from 0, each adding 0.1 in double
// precision and keeping the sum as a float.
float angleAfter(int frames)
{
    float angle = 0.0f;
    for (int frame = 0; frame < frames; ++frame)
        angle = static_cast<float>(static_cast<double>(angle) + TORUS_STEP);
    return angle;
}

} // namespace

class FrameTest : public ProgramTest {
protected:
    void TearDown() override { onReshape(START_WIDTH, START_HEIGHT); }
};

TEST_F(FrameTest, ReshapeToTheStartSizeSetsViewportAndProjectionFields)
{
    spoilProjectionFields();
    onReshape(START_WIDTH, START_HEIGHT);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, START_WIDTH, START_HEIGHT}));
    EXPECT_EQ(theCamera->aspect, 1.7777778f);
    expectProjectionFieldsReset();
}

TEST_F(FrameTest, ReshapeToATallWindowTakesEffectOnTheNextFrame)
{
    spoilProjectionFields();
    onReshape(720, 1280);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 720, 1280}));
    EXPECT_EQ(theCamera->aspect, 0.5625f);
    expectProjectionFieldsReset();
    drawFrame();
    EXPECT_TRUE(matricesNear(projectionNow(), perspective(60.0, 0.5625, 0.1, 100.0),
                             MATRIX_TOLERANCE));
}

TEST_F(FrameTest, ReshapeToNoHeightLeavesAFiniteAspectAndFramesStillDraw)
{
    spoilProjectionFields();
    onReshape(640, 0);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 640, 0}));
    EXPECT_TRUE(std::isfinite(theCamera->aspect)) << theCamera->aspect;
    EXPECT_GT(theCamera->aspect, 0.0f);
    expectProjectionFieldsReset();
    drawFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // And none at all.
    onReshape(0, 0);
    EXPECT_TRUE(std::isfinite(theCamera->aspect)) << theCamera->aspect;
    drawFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Growing again gives the window's own aspect back.
    onReshape(START_WIDTH, START_HEIGHT);
    EXPECT_EQ(theCamera->aspect, 1.7777778f);
}

TEST_F(FrameTest, FirstFrameDrawsTheTorusAtAngleZeroAndEachFrameTurnsIt)
{
    // The torus's turn is the last transform of a frame and stays on the
    // model-view matrix, so what GL holds after a frame is the view turned by
    // the angle that frame drew with.
    drawFrame();
    EXPECT_TRUE(matricesNear(modelViewNow(), START_VIEW, MATRIX_TOLERANCE));
    EXPECT_EQ(theScene->torusAngle, angleAfter(1));
    drawFrame();
    EXPECT_TRUE(matricesNear(modelViewNow(), multiply(START_VIEW, rotation(angleAfter(1), 0.0, 1.0, 0.0)),
                             MATRIX_TOLERANCE));
    EXPECT_FALSE(matricesNear(modelViewNow(), START_VIEW, MATRIX_TOLERANCE));
    EXPECT_EQ(theScene->torusAngle, angleAfter(2));
}

TEST_F(FrameTest, AFullTurnOfFramesWrapsTheAngleBackPastZero)
{
    // Nothing rasterised in a one-pixel window keeps the 3600 frames quick;
    // the angle depends on neither.
    onReshape(1, 1);
    glEnable(GL_RASTERIZER_DISCARD);
    for (int frame = 0; frame < FULL_TURN_FRAMES; ++frame)
        renderFrame();
    glDisable(GL_RASTERIZER_DISCARD);
    glFinish();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The 3600th step goes from just short of 360 (359.91276, the float sum
    // of 3599 steps) past it and wraps to just past 0.
    EXPECT_NEAR(theScene->torusAngle, 0.01276f, 1e-4f);
    // The last frame turned the bare view by its own angle: the turns of
    // earlier frames did not pile up.
    EXPECT_TRUE(matricesNear(modelViewNow(),
                             multiply(START_VIEW, rotation(angleAfter(FULL_TURN_FRAMES - 1), 0.0, 1.0, 0.0)),
                             MATRIX_TOLERANCE));
}

TEST_F(FrameTest, TorusStepStaysATenthOfADegreeForAnyLengthOfRun)
{
    // An angle as a run of some 58 hours would reach by adding up (past 2^21
    // degrees, where a float step of 0.1 rounds to nothing): the next frame
    // brings it into [0, 360) by whole turns, 352.1, and from there every
    // step is 0.1, across 360 too, within the float's precision there.
    constexpr float LONG_RUN_ANGLE = 2097352.0f; // 2^21 + 200 degrees
    constexpr float STEP_TOLERANCE = 1e-4f;      // a few float steps at 360
    constexpr int FRAMES_PAST_360 = 200;         // 360 is reached after 79
    onReshape(1, 1);
    glEnable(GL_RASTERIZER_DISCARD);
    theScene->torusAngle = LONG_RUN_ANGLE;
    renderFrame();
    EXPECT_NEAR(theScene->torusAngle, std::fmod(static_cast<double>(LONG_RUN_ANGLE) + TORUS_STEP, 360.0),
                STEP_TOLERANCE);
    int wraps = 0;
    for (int frame = 0; frame < FRAMES_PAST_360; ++frame) {
        const float before = theScene->torusAngle;
        renderFrame();
        const float after = theScene->torusAngle;
        ASSERT_GE(after, 0.0f);
        ASSERT_LT(after, 360.0f);
        const float step = after >= before ? after - before : after + 360.0f - before;
        wraps += after < before ? 1 : 0;
        ASSERT_NEAR(step, TORUS_STEP, STEP_TOLERANCE) << "from " << before << " to " << after;
    }
    glDisable(GL_RASTERIZER_DISCARD);
    EXPECT_EQ(wraps, 1);
}

TEST_F(FrameTest, FrameShowsTheBlueTorusAtTheMiddleOnBlack)
{
    drawFrame();
    const Matrix4 projection = perspective(60.0, 1280.0 / 720.0, 0.1, 100.0);
    // 0.32 from the top of the ring (on the spin axis, at 1.25), inside the
    // tube of radius 0.5 at any angle, and off the y axis line.
    double torusX = 0.0;
    double torusY = 0.0;
    ASSERT_TRUE(projectToWindow(projection, START_VIEW, {0.2, 1.5, 0.0}, START_WIDTH, START_HEIGHT,
                               torusX, torusY));
    // Far beyond the back of the ground and above the eye: the line of sight
    // rises and meets nothing.
    double skyX = 0.0;
    double skyY = 0.0;
    ASSERT_TRUE(projectToWindow(projection, START_VIEW, {-10.0, 5.0, -60.0}, START_WIDTH,
                               START_HEIGHT, skyX, skyY));
    // Blue lit by white and coloured lights: blue clearly leads.
    const Rgb torus = readBackPixel(static_cast<int>(torusX), static_cast<int>(torusY));
    EXPECT_GE(torus.blue, 60);
    EXPECT_GE(torus.blue, torus.red + 40);
    EXPECT_GE(torus.blue, torus.green + 40);
    // Black, allowing for nothing but rounding.
    const Rgb sky = readBackPixel(static_cast<int>(skyX), static_cast<int>(skyY));
    EXPECT_LE(sky.red + sky.green + sky.blue, 2);
}
