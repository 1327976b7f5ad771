// The root record and the process-wide state every part of the program reads.
#pragma once

#include "lighting/lights.h"

#include <cstdint>

struct Camera;
struct Scenery;
struct Tank;

struct Scene {
    Camera* camera;    // the same object as theCamera; not owned
    Scenery* scenery;  // owned
    Tank* tank;        // owned
    float torusAngle;  // degrees about +y, in [0, 360); turns 0.1 per drawn frame
    LightSlot lights[LIGHT_COUNT];
};

// The one scene of the process.
extern Scene* theScene;

// Process-wide flags, 0 or 1, all 0 at start.
extern std::uint8_t cameraLocked;    // chase view; always equal to Camera.followTank
extern std::uint8_t mouseCameraMode; // 0 keyboard camera, 1 mouse camera
extern std::uint8_t wireframeOn;     // toggle state of the wireframe menu entry
extern std::uint8_t pointsOn;        // toggle state of the vertex menu entry

// A new scene on theCamera, with its scenery and tank; issues no GL call. The
// light slots are filled later by initLights.
Scene* makeScene();
