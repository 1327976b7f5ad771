// Quorvale: a lit 3-D scene with a drivable tank and a free or chase camera.
#include "app/app.h"
#include "app/options.h"
#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"

#include <cstdio>

int main(int argc, char** argv)
{
    // --help, --version and a bad argument end here, before any display is needed.
    const StartDecision start = readOptions(argc, argv, stdout, stderr);
    if (!start.run)
        return start.exitStatus;
    theCamera = makeCamera();
    theScene = makeScene();
    initGraphics(&argc, argv);
    cameraLocked = 0;
    mouseCameraMode = 0;
    printBanner();
    glutMainLoop();
    return 0;
}
