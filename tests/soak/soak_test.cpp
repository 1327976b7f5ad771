// A long run of the program in this process: 100,000 ticks (a short run if
// QUORVALE_SOAK_TICKS gives the measured part's length), each followed by
// a frame, under a reproducible stream of held keys and menu choices. After it
// every camera and tank value is still a number, the invariants of the
// controls still hold, GL's matrix stacks are balanced with no error pending,
// and the heap has not grown. The suite runs it built with AddressSanitizer,
// UndefinedBehaviorSanitizer and LeakSanitizer (see CMakeLists.txt here).
#include "app/app.h"
#include "app/scene.h"
#include "camera/camera.h"
#include "camera/controls.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "tank/tank.h"
#include "tests/soak/soak_memory.h"
#include "tests/soak/soak_input.h"
#include "tests/support/program.h"
#include "tests/support/program_test.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::uint32_t SOAK_SEED = 0x51AC0DE5u;
// Warm-up: a few ticks in every display state, then random ones, so that GL
// has made everything it keeps for later before the heap is first measured.
constexpr int TICKS_PER_DISPLAY_STATE = 25;
constexpr int RANDOM_WARM_UP_TICKS = 3600;
constexpr int SOAK_TICKS = 96000;      // measured; 100,000 ticks with the warm-up
constexpr int CHECK_EVERY_TICKS = 1000;
constexpr int SETTLE_FRAMES = 200;     // drawn the same way before the heap is read

// A small window keeps the pixel work of 100,000 frames short; every vertex is
// still lit, transformed and clipped as in a full-size window.
constexpr int SOAK_WINDOW_WIDTH = 64;  // pixels
constexpr int SOAK_WINDOW_HEIGHT = 36; // pixels

// Live heap allowed to be gained over the measured run. Any block kept per
// tick or per frame (16 bytes at the least, with its header) would add 1.5 MB
// over 96,000 of them. Below this stay the buffers that Mesa keeps or drops
// depending on what it drew lately: runs have ended between 31 and 95 KiB up,
// with no trend along the run.
constexpr long long HEAP_TOLERANCE_BYTES = 512 * 1024;

constexpr double HALF_TURN = 3.14159265358979323846;
constexpr float BARREL_LOWEST = -15.0f;  // degrees
constexpr float BARREL_HIGHEST = 35.0f;  // degrees
constexpr int DISPLAY_STATE_COUNT = 16;  // chase x mouse x wireframe x points

// The tick of the running program without its sleep and its Escape check:
// the free-camera control of the current mode, then the tank's keys.
void tickWork()
{
    if (mouseCameraMode == 1)
        mouseModeWalk();
    else
        keyboardFly();
    driveTank(*theScene->tank);
}

// Measured ticks: QUORVALE_SOAK_TICKS if set to a positive number, else SOAK_TICKS.
int soakTicks()
{
    const char* text = std::getenv("QUORVALE_SOAK_TICKS");
    const int ticks = text == nullptr ? 0 : std::atoi(text);
    return ticks > 0 ? ticks : SOAK_TICKS;
}

int displayState()
{
    return (cameraLocked != 0 ? 1 : 0) | (mouseCameraMode != 0 ? 2 : 0) |
           (wireframeOn != 0 ? 4 : 0) | (pointsOn != 0 ? 8 : 0);
}

// What a long run could break in GL: unbalanced matrix pushes, a vertex array
// left on, an error. Empty if all is well.
std::string glStateFault()
{
    GLint modelViewDepth = 0;
    GLint projectionDepth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelViewDepth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    if (modelViewDepth != 1 || projectionDepth != 1)
        return "matrix stacks at depth " + std::to_string(modelViewDepth) + " and " +
               std::to_string(projectionDepth);
    if (glIsEnabled(GL_VERTEX_ARRAY) != GL_FALSE)
        return "vertex array left enabled";
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        return "GL error " + std::to_string(error);
    return {};
}

bool shrinkWindow()
{
    glutReshapeWindow(SOAK_WINDOW_WIDTH, SOAK_WINDOW_HEIGHT);
    return pollUntil([] {
        pumpEvents();
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        return viewport[2] == SOAK_WINDOW_WIDTH && viewport[3] == SOAK_WINDOW_HEIGHT;
    }, WAIT_MS);
}

using NamedValues = std::vector<std::pair<std::string, float>>;

NamedValues cameraValues(const Camera& c)
{
    return {{"fovY", c.fovY},         {"aspect", c.aspect},   {"zNear", c.zNear},
            {"zFar", c.zFar},         {"eye.x", c.eye.x},     {"eye.y", c.eye.y},
            {"eye.z", c.eye.z},       {"centre.x", c.centre.x}, {"centre.y", c.centre.y},
            {"centre.z", c.centre.z}, {"up.x", c.up.x},       {"up.y", c.up.y},
            {"up.z", c.up.z},         {"yaw", c.yaw},         {"pitch", c.pitch},
            {"step", c.step},         {"lastMouseX", c.lastMouseX},
            {"lastMouseY", c.lastMouseY}};
}

NamedValues tankValues(const Tank& t)
{
    return {{"position.x", t.position.x}, {"position.y", t.position.y},
            {"position.z", t.position.z}, {"heading", t.heading},
            {"turretAngle", t.turretAngle}, {"barrelElevation", t.barrelElevation},
            {"step", t.step}};
}

// The leak check runs once every test of this program has finished, while
// the window, the GL context and the driver are all still there, as they are
// for the whole life of the real program. At exit the GL driver has already
// been unloaded, so what it allocated could no longer be told apart from
// anything else. The program's own records (camera, scene, scenery, boxes,
// tank) are still reachable then through theCamera and theScene, as they are
// meant to be: kept for the whole run, never freed.
class LeakCheckAtEnd : public ::testing::Environment {
public:
    void TearDown() override { checkLeaksNow(); }
};
const ::testing::Environment* const leakCheck =
    ::testing::AddGlobalTestEnvironment(new LeakCheckAtEnd);

} // namespace

class SoakTest : public ProgramTest {
protected:
    // One tick with its input, then the frame it asks for, drawn and shown as
    // the display callback does it. A menu choice comes as a toolkit event
    // between ticks, and the toolkit then draws the frame the menu asked for.
    void runTick()
    {
        statesSeen_ |= 1u << displayState();
        input_.changeKeys();
        tickWork();
        onDisplay();
        const int choice = input_.menuChoice();
        if (choice != 0) {
            onMenu(choice);
            pumpEvents();
            ++menuChoices_;
        }
    }

    // Every combination of chase view, mouse camera, wireframe and points, in
    // turn, each for a few ticks.
    void visitEveryDisplayState()
    {
        for (int state = 0; state < DISPLAY_STATE_COUNT; ++state) {
            setDisplayState(state);
            for (int tick = 0; tick < TICKS_PER_DISPLAY_STATE; ++tick)
                runTick();
        }
    }

    // Through the menu, as a user would, one entry per flag that differs.
    static void setDisplayState(int state)
    {
        for (int entry = MENU_LOCK_CAMERA; entry <= MENU_VERTEX; ++entry) {
            const int bit = 1 << (entry - MENU_LOCK_CAMERA);
            if ((displayState() & bit) != (state & bit))
                onMenu(entry);
        }
        pumpEvents();
    }

    // Live heap with GL's pools in a known state: Mesa keeps buffers sized by
    // what it drew last (up to a few hundred kilobytes more in some display
    // states), so the same frame is drawn for a while from the start-up view
    // in the start-up display state before the heap is read. Camera, tank,
    // torus and display state are put back afterwards, and the run goes on.
    long long settledHeapBytes()
    {
        const Camera camera = *theCamera;
        const Tank tank = *theScene->tank;
        const float torusAngle = theScene->torusAngle;
        const int state = displayState();
        setDisplayState(0);
        const Camera* startCamera = makeCamera();
        const Tank* startTank = makeTank();
        *theCamera = *startCamera;
        *theScene->tank = *startTank;
        for (int frame = 0; frame < SETTLE_FRAMES; ++frame) {
            theScene->torusAngle = 0.0f;
            onDisplay();
        }
        glFinish();
        const long long heap = liveHeapBytes();
        *theCamera = camera;
        *theScene->tank = tank;
        theScene->torusAngle = torusAngle;
        setDisplayState(state);
        delete startCamera;
        delete startTank;
        return heap;
    }

    SoakInput input_{SOAK_SEED};
    int menuChoices_ = 0;
    unsigned statesSeen_ = 0;
};

TEST_F(SoakTest, LongRunKeepsValuesFiniteStateBalancedAndHeapFlat)
{
    ASSERT_TRUE(shrinkWindow()) << "the window never took the soak size";

    visitEveryDisplayState();
    const unsigned statesOfWarmUp = statesSeen_;
    statesSeen_ = 0;
    const int ticks = soakTicks();
    for (int tick = 0; tick < std::min(RANDOM_WARM_UP_TICKS, ticks); ++tick)
        runTick();
    const long long heapBefore = settledHeapBytes();

    std::string fault;
    int faultTick = -1;
    for (int tick = 1; tick <= ticks; ++tick) {
        runTick();
        if (fault.empty() && tick % CHECK_EVERY_TICKS == 0) {
            fault = glStateFault();
            faultTick = tick;
        }
    }
    const long long heapAfter = settledHeapBytes();

    std::printf("live heap: %lld bytes before the measured ticks, %lld after\n", heapBefore,
                heapAfter);
    EXPECT_EQ(fault, "") << "after tick " << faultTick;
    EXPECT_LE(heapAfter - heapBefore, HEAP_TOLERANCE_BYTES)
        << "live heap " << heapBefore << " -> " << heapAfter << " bytes";

    for (const auto& [name, value] : cameraValues(*theCamera))
        EXPECT_TRUE(std::isfinite(value)) << "Camera." << name << " = " << value;
    for (const auto& [name, value] : tankValues(*theScene->tank))
        EXPECT_TRUE(std::isfinite(value)) << "Tank." << name << " = " << value;
    EXPECT_TRUE(std::isfinite(theScene->torusAngle));

    // The controls' own limits hold however long the keys are worked.
    const Camera& camera = *theCamera;
    EXPECT_LT(std::fabs(camera.pitch), HALF_TURN / 2) << "the free view tipped over";
    EXPECT_EQ(camera.up.x, 0.0f);
    EXPECT_EQ(camera.up.y, 1.0f);
    EXPECT_EQ(camera.up.z, 0.0f);
    EXPECT_EQ(camera.followTank, cameraLocked);
    const Tank& tank = *theScene->tank;
    EXPECT_GE(tank.barrelElevation, BARREL_LOWEST);
    EXPECT_LE(tank.barrelElevation, BARREL_HIGHEST);
    EXPECT_EQ(tank.position.y, 0.0f);

    // The warm-up went through every combination of view, camera mode and
    // polygon mode, and so did the random input of a full-length run (a
    // short one sees only some: menu choices are rare).
    EXPECT_EQ(statesOfWarmUp, (1u << DISPLAY_STATE_COUNT) - 1);
    if (ticks >= SOAK_TICKS) {
        EXPECT_EQ(statesSeen_, (1u << DISPLAY_STATE_COUNT) - 1) << menuChoices_ << " menu choices";
    }
}
