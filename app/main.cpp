// Quorvale: a lit 3-D scene with a drivable tank and a free or chase camera.
#include "app/app.h"
#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"

int main(int argc, char** argv)
{
    theCamera = makeCamera();
    theScene = makeScene();
    initGraphics(&argc, argv);
    cameraLocked = 0;
    mouseCameraMode = 0;
    printBanner();
    glutMainLoop();
    return 0;
}
