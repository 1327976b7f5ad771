#include "tests/support/gl_program.h"

#include "app/app.h"
#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "tank/tank.h"
#include "tests/support/program.h"
#include "tests/support/xdriver.h"
#include "tests/support/xvfb.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

// Never destroyed: the toolkit's connection to it stays open to the very end
// of the process, and the kernel ends the server after the process.
XvfbServer* privateServer = nullptr;
std::unique_ptr<XDriver> privateDriver;
WindowId window = 0;
bool started = false;

constexpr char WINDOW_TITLE[] = "Quorvale 1";
constexpr int SCREEN_WIDTH = 1600;  // pixels; room beside the window for others
constexpr int SCREEN_HEIGHT = 1000; // pixels
// A short auto-repeat on the private server, so that keys held for a moment
// in the tests really repeat.
const std::vector<std::string> SERVER_OPTIONS = {"-ardelay", "150", "-arinterval", "30"};

// Feedback-mode projection: scene units map one to one to window units in a
// cube of FEEDBACK_HALF_EXTENT around the origin.
constexpr double FEEDBACK_HALF_EXTENT = 100.0;
constexpr int FEEDBACK_BUFFER_FLOATS = 1 << 22;

} // namespace

void startProgramInProcess()
{
    if (started)
        return;
    started = true;
    // Always a server of the process's own, whatever DISPLAY says: the tests
    // send real input and must neither reach nor come from any other client.
    privateServer = new XvfbServer(SCREEN_WIDTH, SCREEN_HEIGHT, SERVER_OPTIONS);
    ASSERT_TRUE(privateServer->running()) << "no private X server";
    privateServer->keepUntilExit();
    setenv("DISPLAY", privateServer->display().c_str(), 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    static char programName[] = "quorvale-test";
    static char* argv[] = {programName, nullptr};
    static int argc = 1;
    makeProgramRecords();
    initGraphics(&argc, argv);
    cameraLocked = 0;
    mouseCameraMode = 0;
    // Let the window appear and receive its first reshape.
    for (int i = 0; i < 20; ++i)
        pumpEvents();
    privateDriver = std::make_unique<XDriver>(privateServer->display());
    ASSERT_TRUE(privateDriver->connected());
    window = privateDriver->findWindow(WINDOW_TITLE, WAIT_MS);
    ASSERT_NE(window, 0u) << "the program's window did not appear";
}

XDriver& programDriver()
{
    return *privateDriver;
}

WindowId programWindow()
{
    return window;
}

void makeProgramRecords()
{
    if (theCamera == nullptr)
        theCamera = makeCamera();
    if (theScene == nullptr)
        theScene = makeScene();
}

void resetProgramRecords()
{
    const Camera* fresh = makeCamera();
    const float fovY = theCamera->fovY;
    const float aspect = theCamera->aspect;
    *theCamera = *fresh;
    theCamera->fovY = fovY;
    theCamera->aspect = aspect;
    delete fresh;
    const Tank* tank = makeTank();
    *theScene->tank = *tank;
    delete tank;
    theScene->torusAngle = 0.0f;
    cameraLocked = 0;
    mouseCameraMode = 0;
    wireframeOn = 0;
    pointsOn = 0;
    releaseAllKeys();
}

void resetProgramState()
{
    // Mouse look off through the menu, so that its callback and pointer go too.
    if (mouseCameraMode == 1)
        onMenu(MENU_MOUSE_CAMERA);
    resetProgramRecords();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void pumpEvents()
{
    glutMainLoopEvent();
}

bool waitForProgramPointerAt(int x, int y)
{
    return pollUntil([&] {
        int px = -1;
        int py = -1;
        if (programDriver().pointerIn(programWindow(), px, py) && px == x && py == y)
            return true;
        // A round trip on the program's own connection sends the warps it
        // queued; then its events are handled.
        glutGet(GLUT_WINDOW_X);
        pumpEvents();
        return false;
    });
}

Feedback captureFeedback(const std::function<void()>& draw, double halfExtent, bool keepBackFaces,
                         bool withColour)
{
    static std::vector<GLfloat> buffer(FEEDBACK_BUFFER_FLOATS);
    // One window unit per unit: the viewport is as wide as the cube.
    const auto viewportSize = static_cast<GLsizei>(2.0 * halfExtent);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, viewportSize, viewportSize);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-halfExtent, halfExtent, -halfExtent, halfExtent, -halfExtent, halfExtent);
    glMatrixMode(GL_MODELVIEW);
    if (keepBackFaces)
        glDisable(GL_CULL_FACE);
    glFeedbackBuffer(FEEDBACK_BUFFER_FLOATS, withColour ? GL_3D_COLOR : GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    if (keepBackFaces)
        glEnable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);

    GLint at = 0;
    const auto next = [&] { return static_cast<double>(buffer[static_cast<std::size_t>(at++)]); };
    const auto vertex = [&] {
        FeedbackPoint point;
        point.x = next() - halfExtent;
        point.y = next() - halfExtent;
        // Window z runs 0 (near, z = +halfExtent) to 1 (far, z = -halfExtent).
        point.z = halfExtent * (1.0 - 2.0 * next());
        if (withColour)
            for (double& channel : point.colour)
                channel = next();
        return point;
    };
    Feedback feedback;
    while (at < count) {
        const auto token = static_cast<GLint>(next());
        if (token == GL_POLYGON_TOKEN) {
            const auto n = static_cast<GLint>(next());
            std::vector<FeedbackPoint> polygon;
            for (GLint v = 0; v < n; ++v)
                polygon.push_back(vertex());
            feedback.polygons.push_back(polygon);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            const FeedbackPoint a = vertex();
            feedback.lines.push_back({a, vertex()});
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
                   token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
            vertex();
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            next();
        }
    }
    return feedback;
}

std::vector<FeedbackTriangle> capturePolygons(const std::function<void()>& draw, bool keepBackFaces)
{
    std::vector<FeedbackTriangle> polygons;
    for (const auto& polygon :
         captureFeedback(draw, FEEDBACK_HALF_EXTENT, keepBackFaces, false).polygons) {
        FeedbackTriangle triangle;
        for (const FeedbackPoint& p : polygon)
            triangle.push_back({static_cast<float>(p.x), static_cast<float>(p.y),
                                static_cast<float>(p.z)});
        polygons.push_back(triangle);
    }
    return polygons;
}

bool projectToWindow(const Point3& world, double& winX, double& winY)
{
    GLdouble modelview[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble winZ = 0.0;
    if (gluProject(world.x, world.y, world.z, modelview, projection, viewport, &winX, &winY,
                   &winZ) == GL_FALSE)
        return false;
    return winZ > 0.0 && winZ < 1.0;
}

Rgb readBackPixel(int x, int y)
{
    GLubyte pixel[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
}

void drawFrame()
{
    renderFrame();
    glFinish();
}
