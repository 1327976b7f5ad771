#include "app/scene.h"

#include "camera/camera.h"
#include "geometry/scenery.h"
#include "tank/tank.h"

Scene* theScene = nullptr;
std::uint8_t cameraLocked = 0;
std::uint8_t mouseCameraMode = 0;
std::uint8_t wireframeOn = 0;
std::uint8_t pointsOn = 0;

Scene* makeScene()
{
    Scene* scene = new Scene;
    scene->camera = theCamera;
    scene->scenery = buildScenery();
    scene->tank = makeTank();
    scene->torusAngle = 0.0f;
    return scene;
}
