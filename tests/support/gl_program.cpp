#include "tests/support/gl_program.h"

#include "app/app.h"
#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "tank/tank.h"
#include "tests/support/xvfb.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::unique_ptr<XvfbServer> privateServer;
bool started = false;

// Feedback-mode projection: scene units map one to one to window units in a
// cube of FEEDBACK_HALF_EXTENT around the origin.
constexpr double FEEDBACK_HALF_EXTENT = 100.0;
constexpr int FEEDBACK_VIEWPORT = 200;
constexpr int FEEDBACK_BUFFER_FLOATS = 1 << 22;

} // namespace

void startProgramInProcess()
{
    if (started)
        return;
    if (!displayUsable()) {
        privateServer = std::make_unique<XvfbServer>();
        setenv("DISPLAY", privateServer->display().c_str(), 1);
    }
    static char programName[] = "quorvale-test";
    static char* argv[] = {programName, nullptr};
    static int argc = 1;
    theCamera = makeCamera();
    theScene = makeScene();
    initGraphics(&argc, argv);
    cameraLocked = 0;
    mouseCameraMode = 0;
    started = true;
    // Let the window appear and receive its first reshape.
    for (int i = 0; i < 20; ++i)
        pumpEvents();
}

void resetProgramState()
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
    if (mouseCameraMode == 1)
        onMenu(MENU_MOUSE_CAMERA);
    cameraLocked = 0;
    wireframeOn = 0;
    pointsOn = 0;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    releaseAllKeys();
}

void pumpEvents()
{
    glutMainLoopEvent();
}

std::vector<FeedbackTriangle> capturePolygons(const std::function<void()>& draw, bool keepBackFaces)
{
    static std::vector<GLfloat> buffer(FEEDBACK_BUFFER_FLOATS);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, FEEDBACK_VIEWPORT, FEEDBACK_VIEWPORT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-FEEDBACK_HALF_EXTENT, FEEDBACK_HALF_EXTENT, -FEEDBACK_HALF_EXTENT, FEEDBACK_HALF_EXTENT,
            -FEEDBACK_HALF_EXTENT, FEEDBACK_HALF_EXTENT);
    glMatrixMode(GL_MODELVIEW);
    if (keepBackFaces)
        glDisable(GL_CULL_FACE);
    glFeedbackBuffer(FEEDBACK_BUFFER_FLOATS, GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    if (keepBackFaces)
        glEnable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);

    std::vector<FeedbackTriangle> polygons;
    const double scale = FEEDBACK_VIEWPORT / (2 * FEEDBACK_HALF_EXTENT);
    for (GLint i = 0; i < count;) {
        const auto token = static_cast<GLint>(buffer[static_cast<std::size_t>(i++)]);
        if (token == GL_POLYGON_TOKEN) {
            const auto n = static_cast<GLint>(buffer[static_cast<std::size_t>(i++)]);
            FeedbackTriangle polygon;
            for (GLint v = 0; v < n; ++v, i += 3) {
                const float* p = &buffer[static_cast<std::size_t>(i)];
                // Window z runs 0 (near, z = +100) to 1 (far, z = -100).
                polygon.push_back({static_cast<float>(p[0] / scale - FEEDBACK_HALF_EXTENT),
                                   static_cast<float>(p[1] / scale - FEEDBACK_HALF_EXTENT),
                                   static_cast<float>(FEEDBACK_HALF_EXTENT * (1.0 - 2.0 * p[2]))});
            }
            polygons.push_back(polygon);
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
                   token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
            i += 3;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 6;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        }
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
