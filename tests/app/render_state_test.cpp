// The render state set once at start-up, as GL really holds it, before and
// after frames have been drawn, and the start-up banner.
#include "app/app.h"
#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"
#include "tests/support/program_test.h"

#include <array>
#include <string>

namespace {

constexpr float GLOBAL_AMBIENT = 0.33f;
constexpr float TOLERANCE = 1e-6f;
constexpr int LIGHTS_ON = 5;          // GL_LIGHT0 .. GL_LIGHT4
constexpr int LIGHTS_IN_GL = 8;       // every implementation has at least 8

// Capabilities nothing in the program ever enables.
constexpr std::array<GLenum, 17> NEVER_ENABLED = {
    GL_BLEND,          GL_FOG,          GL_TEXTURE_1D,      GL_TEXTURE_2D,   GL_NORMALIZE,
    GL_RESCALE_NORMAL, GL_STENCIL_TEST, GL_ALPHA_TEST,      GL_SCISSOR_TEST, GL_LOGIC_OP,
    GL_LINE_SMOOTH,    GL_POLYGON_SMOOTH, GL_POINT_SMOOTH, GL_TEXTURE_GEN_S,
    GL_POLYGON_OFFSET_FILL, GL_CLIP_PLANE0, GL_LINE_STIPPLE};

std::array<float, 4> floats(GLenum what)
{
    std::array<float, 4> value{};
    glGetFloatv(what, value.data());
    return value;
}

GLint integer(GLenum what)
{
    GLint value = 0;
    glGetIntegerv(what, &value);
    return value;
}

void expectColour(const std::array<float, 4>& actual, float red, float green, float blue,
                  float alpha)
{
    EXPECT_NEAR(actual[0], red, TOLERANCE);
    EXPECT_NEAR(actual[1], green, TOLERANCE);
    EXPECT_NEAR(actual[2], blue, TOLERANCE);
    EXPECT_NEAR(actual[3], alpha, TOLERANCE);
}

// Everything start-up fixes for the whole run, apart from the current colour.
void expectFixedRenderState()
{
    expectColour(floats(GL_COLOR_CLEAR_VALUE), 0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(integer(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(integer(GL_FRONT_FACE), GL_CCW);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    for (int light = 0; light < LIGHTS_IN_GL; ++light)
        EXPECT_EQ(glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + light)) == GL_TRUE,
                  light < LIGHTS_ON)
            << "light " << light;
    expectColour(floats(GL_LIGHT_MODEL_AMBIENT), GLOBAL_AMBIENT, GLOBAL_AMBIENT, GLOBAL_AMBIENT,
                 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_FACE), GL_FRONT);
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_PARAMETER), GL_AMBIENT_AND_DIFFUSE);
    EXPECT_EQ(integer(GL_SHADE_MODEL), GL_SMOOTH);
    for (GLenum capability : NEVER_ENABLED)
        EXPECT_FALSE(glIsEnabled(capability)) << "capability 0x" << std::hex << capability;
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
}

} // namespace

class RenderStateTest : public ProgramTest {
protected:
    static void SetUpTestSuite()
    {
        const bool freshStart = theCamera == nullptr;
        ProgramTest::SetUpTestSuite();
        // The toolkit may already have drawn frames while the window came up;
        // after other tests in this process, what was drawn is not known.
        if (freshStart)
            startColour = theScene->torusAngle > 0.0f ? StartColour::TorusBlue : StartColour::White;
    }
    enum class StartColour { Unknown, White, TorusBlue };
    static StartColour startColour;
};

RenderStateTest::StartColour RenderStateTest::startColour = StartColour::Unknown;

TEST_F(RenderStateTest, WindowHasColourDoubleBufferAndDepth)
{
    EXPECT_EQ(integer(GL_DOUBLEBUFFER), GL_TRUE);
    EXPECT_EQ(integer(GL_RGBA_MODE), GL_TRUE);
    EXPECT_GT(integer(GL_DEPTH_BITS), 0);
    EXPECT_GE(integer(GL_RED_BITS), 8);
    EXPECT_GE(integer(GL_BLUE_BITS), 8);
}

TEST_F(RenderStateTest, StartUpStateIsInForce)
{
    expectFixedRenderState();
    // White until a frame has drawn something, then the torus's blue.
    if (startColour == StartColour::TorusBlue)
        expectColour(floats(GL_CURRENT_COLOR), 0.0f, 0.0f, 1.0f, 1.0f);
    else if (startColour == StartColour::White)
        expectColour(floats(GL_CURRENT_COLOR), 1.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderStateTest, FramesLeaveTheStartUpStateAsItWas)
{
    for (int frame = 0; frame < 2; ++frame)
        drawFrame();
    expectFixedRenderState();
    // The last thing a frame draws is the blue torus.
    expectColour(floats(GL_CURRENT_COLOR), 0.0f, 0.0f, 1.0f, 1.0f);
    // The boxes and the tank switch client arrays off again after use.
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderStateTest, MenuTogglesLeaveTheStartUpStateAsItWas)
{
    for (int value : {MENU_WIREFRAME, MENU_VERTEX, MENU_LOCK_CAMERA, MENU_MOUSE_CAMERA}) {
        onMenu(value);
        drawFrame();
        onMenu(value);
        drawFrame();
    }
    expectFixedRenderState();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderStateTest, BannerIsExactlyFourLines)
{
    testing::internal::CaptureStdout();
    printBanner();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "C++ and OpenGL Quorvale 1\n"
                       "Ferrowold version 0.55\n"
                       "Tamsrel aka Quennick\n"
                       "------\n");
}
