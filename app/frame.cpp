// The frame cycle: the tick, the frame and the window callbacks.
#include "app/app.h"

#include "app/scene.h"
#include "camera/camera.h"
#include "camera/controls.h"
#include "geometry/scenery.h"
#include "lighting/lights.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "tank/tank.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr unsigned TICK_SLEEP_MS = 10;   // caps the tick rate at 100 per second
constexpr double TORUS_SPIN = 0.1;       // degrees per drawn frame
constexpr double FULL_TURN = 360.0;      // degrees
constexpr double TORUS_TUBE_RADIUS = 0.5;
constexpr double TORUS_RING_RADIUS = 1.25;
constexpr int TORUS_SIDES = 20;
constexpr int TORUS_RINGS = 20;
constexpr float TORUS_SPECULAR[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float TORUS_SHININESS = 25.0f;
constexpr float FIELD_OF_VIEW = 60.0f;   // degrees
constexpr float NEAR_PLANE = 0.1f;       // scene units
constexpr float FAR_PLANE = 100.0f;      // scene units

// The torus at the world origin, blue, turned by the scene's torus angle. Its
// rotation stays on the matrix: the next frame's view replaces it. The angle
// is kept in [0, 360): a float that grew for ever would round each step away
// (to nothing past 2^21 degrees, some 58 hours of frames) and stop the torus;
// whole turns taken off change nothing on the screen.
void drawTorus(Scene& scene)
{
    glColor3f(0.0f, 0.0f, 1.0f);
    glMaterialfv(GL_FRONT, GL_SPECULAR, TORUS_SPECULAR);
    glMaterialf(GL_FRONT, GL_SHININESS, TORUS_SHININESS);
    glRotatef(scene.torusAngle, 0.0f, 1.0f, 0.0f);
    glutSolidTorus(TORUS_TUBE_RADIUS, TORUS_RING_RADIUS, TORUS_SIDES, TORUS_RINGS);
    scene.torusAngle = static_cast<float>(std::fmod(scene.torusAngle + TORUS_SPIN, FULL_TURN));
}

} // namespace

void onIdle()
{
    sleepMilliseconds(TICK_SLEEP_MS);
    if (mouseCameraMode == 1)
        mouseModeWalk();
    else
        keyboardFly();
    if ((getKeyState(VK_ESCAPE) & KEY_HELD) != 0)
        std::exit(0);
    driveTank(*theScene->tank);
    tickSawKeys();
    glutPostRedisplay();
}

void onDisplay()
{
    renderFrame();
    glutSwapBuffers();
}

void renderFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    selectView(*theScene);
    refreshLightPositions(*theScene);
    drawScenery(*theScene->scenery);
    drawTank(*theScene->tank);
    drawTorus(*theScene);
}

void onReshape(int width, int height)
{
    glViewport(0, 0, width, height);
    Camera& camera = *theCamera;
    camera.fovY = FIELD_OF_VIEW;
    // A window shrunk to no height has no pixels to show: keep the last aspect.
    if (height != 0)
        camera.aspect = static_cast<float>(static_cast<double>(width) / height);
    camera.zNear = NEAR_PLANE;
    camera.zFar = FAR_PLANE;
}

void onPassiveMotion(int x, int y)
{
    mouseLook(x, y);
}

void onEntry(int state)
{
    if (state == GLUT_ENTERED)
        pointerEntered();
    else
        pointerLeft();
}
