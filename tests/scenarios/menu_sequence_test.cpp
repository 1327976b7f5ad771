// The menu's toggles chosen many times in a row, in every order, through the
// program's own menu callback: after every choice the flags, the camera's
// chase switch and the polygon mode GL really holds agree with the entries'
// table; the pointer shows exactly while the mouse camera is off; pointer
// motion turns the camera only while it is on; frames show filled polygons
// only when the table says so.
#include "app/app.h"
#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"
#include "tank/tank.h"
#include "tests/support/program_test.h"
#include "tests/support/png.h"
#include "tests/support/scene_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int ENTRY_COUNT = 4;         // the toggles; entry 5 ends the process
constexpr int SEQUENCE_LENGTH = 4;     // every sequence of four toggles: 256 of them
constexpr int MOTION_CHECK_EVERY = 16; // sequences
constexpr int HOME_X = 640;            // the pointer home of mouse look, window pixels
constexpr int HOME_Y = 360;
constexpr int NUDGE = 150; // pixels: far enough for mouse look to tell that the pointer went home
constexpr float RADIANS_PER_PIXEL = 0.004f;
constexpr float YAW_TOLERANCE = 1e-6f; // radians: a turn and its undoing, in floats
constexpr int PUMPS = 3;
// The tank stands clear of the torus so that the chase view sees the ground.
constexpr float TANK_CLEAR_X = 3.0f;
// A block of the screen's lower left that shows ground in the free and the
// chase view, sampled every SAMPLE_STEP pixels (y from the top).
constexpr int BLOCK_LEFT = 40;
constexpr int BLOCK_TOP = 600;
constexpr int BLOCK_SIZE = 100;
constexpr int SAMPLE_STEP = 10;
constexpr double FILLED_SHARE = 0.8;
constexpr double UNFILLED_SHARE = 0.3;

// The entries' table, kept by the test.
struct MenuModel {
    bool locked = false;
    bool mouse = false;
    bool wireframe = false;
    bool points = false;
    GLint mode = GL_FILL;

    void choose(int entry)
    {
        switch (entry) {
        case MENU_LOCK_CAMERA: locked = !locked; break;
        case MENU_MOUSE_CAMERA: mouse = !mouse; break;
        case MENU_WIREFRAME:
            mode = wireframe ? GL_FILL : GL_LINE;
            wireframe = !wireframe;
            break;
        case MENU_VERTEX:
            mode = points ? GL_FILL : GL_POINT;
            points = !points;
            break;
        default: break;
        }
    }
};

std::string describe(const MenuModel& m)
{
    return "locked " + std::to_string(m.locked) + ", mouse " + std::to_string(m.mouse) +
           ", wireframe " + std::to_string(m.wireframe) + ", points " + std::to_string(m.points) +
           ", mode " + std::to_string(m.mode);
}

// What the program holds, in the model's terms.
MenuModel programState()
{
    MenuModel held;
    held.locked = cameraLocked == 1;
    held.mouse = mouseCameraMode == 1;
    held.wireframe = wireframeOn == 1;
    held.points = pointsOn == 1;
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    held.mode = modes[0] == modes[1] ? modes[0] : -1;
    return held;
}

// Empty if the program agrees with the model, else what differs.
std::string mismatch(const MenuModel& wanted)
{
    const MenuModel held = programState();
    std::string problems;
    if (describe(held) != describe(wanted))
        problems += "program: " + describe(held) + "; table: " + describe(wanted) + ". ";
    if ((theCamera->followTank == 1) != wanted.locked)
        problems += "the camera's chase switch differs from the lock flag. ";
    return problems;
}

double groundShareOfBlock()
{
    int green = 0;
    int samples = 0;
    for (int y = BLOCK_TOP; y < BLOCK_TOP + BLOCK_SIZE; y += SAMPLE_STEP) {
        for (int x = BLOCK_LEFT; x < BLOCK_LEFT + BLOCK_SIZE; x += SAMPLE_STEP) {
            const Rgb pixel = readBackPixel(x, glutGet(GLUT_WINDOW_HEIGHT) - 1 - y);
            green += isGroundGreen(pixel.red, pixel.green, pixel.blue) ? 1 : 0;
            ++samples;
        }
    }
    return static_cast<double>(green) / samples;
}

class MenuSequenceTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        theScene->tank->position.x = TANK_CLEAR_X;
        movePointer(HOME_X, HOME_Y);
    }

    void movePointer(int x, int y)
    {
        programDriver().movePointerIn(programWindow(), x, y);
        programDriver().sync();
        for (int i = 0; i < PUMPS; ++i)
            pumpEvents();
    }

    bool pointerHidden()
    {
        // A round trip on the program's own connection sends its requests.
        glutGet(GLUT_WINDOW_X);
        return programDriver().cursorHidden();
    }

    // A nudge of the pointer to the right turns the camera by 0.004 radian
    // per pixel in mouse camera mode (and the pointer is sent home), and not
    // at all otherwise; a nudge to the left turns it back.
    void expectPointerMotion(const MenuModel& m, const std::string& where)
    {
        const float yaw = theCamera->yaw;
        movePointer(HOME_X + NUDGE, HOME_Y);
        const float turned = m.mouse ? NUDGE * RADIANS_PER_PIXEL : 0.0f;
        EXPECT_FLOAT_EQ(theCamera->yaw, yaw + turned) << where;
        movePointer(HOME_X - NUDGE, HOME_Y);
        EXPECT_NEAR(theCamera->yaw, yaw, YAW_TOLERANCE) << where;
        movePointer(HOME_X, HOME_Y);
    }

    void expectFramesMatch(const MenuModel& m, const std::string& where)
    {
        drawFrame();
        const double share = groundShareOfBlock();
        const bool matches = m.mode == GL_FILL ? share >= FILLED_SHARE : share <= UNFILLED_SHARE;
        if (!matches)
            keepFrame(where);
        EXPECT_TRUE(matches) << where << ": ground share " << share << " with " << describe(m);
    }

    // The frame just drawn, kept for a person to look at.
    static void keepFrame(const std::string& name)
    {
        const int width = glutGet(GLUT_WINDOW_WIDTH);
        const int height = glutGet(GLUT_WINDOW_HEIGHT);
        std::vector<std::uint8_t> rows(static_cast<std::size_t>(width) * height * 3);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
        // GL's rows run from the bottom; the file's from the top.
        std::vector<std::uint8_t> flipped(rows.size());
        const std::size_t stride = static_cast<std::size_t>(width) * 3;
        for (int y = 0; y < height; ++y)
            std::copy_n(rows.begin() + static_cast<long>(stride * static_cast<std::size_t>(y)),
                        stride,
                        flipped.begin() +
                            static_cast<long>(stride * static_cast<std::size_t>(height - 1 - y)));
        writePng(artifactDirectory() + "/MenuSequenceTest-" + name + ".png", width, height,
                 flipped);
    }
};

std::string sequenceName(int sequence)
{
    std::string name = "entries";
    for (int i = 0, rest = sequence; i < SEQUENCE_LENGTH; ++i, rest /= ENTRY_COUNT)
        name += " " + std::to_string(rest % ENTRY_COUNT + 1);
    return name;
}

} // namespace

TEST_F(MenuSequenceTest, EveryOrderOfTheTogglesKeepsTheirTable)
{
    MenuModel model;
    ASSERT_EQ(mismatch(model), "") << "at start";
    int sequences = 1;
    for (int i = 0; i < SEQUENCE_LENGTH; ++i)
        sequences *= ENTRY_COUNT;
    for (int sequence = 0; sequence < sequences; ++sequence) {
        const std::string where = sequenceName(sequence);
        for (int i = 0, rest = sequence; i < SEQUENCE_LENGTH; ++i, rest /= ENTRY_COUNT) {
            const int entry = rest % ENTRY_COUNT + 1;
            onMenu(entry);
            model.choose(entry);
            ASSERT_EQ(mismatch(model), "") << where << ", choice " << i + 1;
            ASSERT_EQ(pointerHidden(), model.mouse) << where << ", choice " << i + 1;
        }
        expectFramesMatch(model, where);
        if (sequence % MOTION_CHECK_EVERY == 0)
            expectPointerMotion(model, where);
    }
    if (model.mouse) {
        onMenu(MENU_MOUSE_CAMERA);
        model.choose(MENU_MOUSE_CAMERA);
    }
    EXPECT_FALSE(pointerHidden()) << "the pointer ends hidden with the mouse camera off";
}

TEST_F(MenuSequenceTest, ValuesOfNoEntryChangeNothing)
{
    MenuModel model;
    for (const int entry : {MENU_WIREFRAME, MENU_LOCK_CAMERA, MENU_MOUSE_CAMERA}) {
        onMenu(entry);
        model.choose(entry);
    }
    Camera cameraBefore{};
    std::memcpy(&cameraBefore, theCamera, sizeof(Camera));
    for (const int value : {0, 6, -1, 1000}) {
        onMenu(value);
        EXPECT_EQ(mismatch(model), "") << "value " << value;
        EXPECT_EQ(pointerHidden(), model.mouse) << "value " << value;
        EXPECT_EQ(std::memcmp(&cameraBefore, theCamera, sizeof(Camera)), 0) << "value " << value;
    }
}
