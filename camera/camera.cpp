#include "camera/camera.h"

#include "app/scene.h"
#include "platform/gl.h"
#include "tank/tank.h"

Camera* theCamera = nullptr;

namespace {

constexpr Camera initialCamera = {
    60.0f,              // fovY, degrees
    1.777777f,          // aspect until the first reshape
    0.1f,               // zNear
    100.0f,             // zFar
    {0.0f, 2.0f, 5.0f}, // eye
    {0.0f, 0.0f, 0.0f}, // centre
    {0.0f, 1.0f, 0.0f}, // up
    0.0f,               // yaw
    0.0f,               // pitch
    0.04f,              // step
    640.0f,             // lastMouseX
    360.0f,             // lastMouseY
    0,                  // followTank
};

} // namespace

Camera* makeCamera()
{
    return new Camera(initialCamera);
}

void applyCamera(const Camera& camera, float eyeX, float eyeY, float eyeZ, float centreX,
                 float centreY, float centreZ)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(camera.fovY, camera.aspect, camera.zNear, camera.zFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (camera.followTank == 0) {
        gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.centre.x, camera.centre.y,
                  camera.centre.z, camera.up.x, camera.up.y, camera.up.z);
    } else {
        gluLookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, 0.0, 1.0, 0.0);
    }
}

void selectView(const Scene& scene)
{
    const Camera& camera = *scene.camera;
    if (camera.followTank == 1) {
        const Tank& tank = *scene.tank;
        const float eyeX = chaseCoordinate(tank, 3);
        const float eyeY = chaseCoordinate(tank, 4);
        const float eyeZ = chaseCoordinate(tank, 5);
        const float centreX = chaseCoordinate(tank, 0);
        const float centreY = chaseCoordinate(tank, 1);
        const float centreZ = chaseCoordinate(tank, 2);
        applyCamera(camera, eyeX, eyeY, eyeZ, centreX, centreY, centreZ);
    } else {
        applyCamera(camera, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    }
}
