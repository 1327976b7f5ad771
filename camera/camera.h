// The viewing record: projection, the free camera's placement and angles, and
// the switch between the free view and the chase view behind the tank.
#pragma once

#include "geometry/mesh.h"

#include <cstdint>

struct Scene;

struct Camera {
    float fovY;       // vertical field of view, degrees
    float aspect;     // viewport width / height
    float zNear;      // scene units
    float zFar;       // scene units
    Point3 eye;       // free view
    Point3 centre;    // free view: the point looked at
    Point3 up;        // free view; always (0, 1, 0)
    float yaw;        // radians; 0 looks along -z, growing towards +x
    float pitch;      // radians; positive looks up
    float step;       // movement factor of the current tick
    float lastMouseX; // pointer home of mouse look, window pixels
    float lastMouseY;
    std::uint8_t followTank; // 1: chase view, 0: free view
};

// The one camera of the process.
extern Camera* theCamera;

// A new camera at its start values: eye (0, 2, 5) looking at the origin.
Camera* makeCamera();

// Load the projection from the camera, then the view: the camera's own eye,
// centre and up in the free view, or the given eye and centre with up (0, 1, 0)
// in the chase view. Leaves GL_MODELVIEW current holding the view alone.
void applyCamera(const Camera& camera, float eyeX, float eyeY, float eyeZ, float centreX,
                 float centreY, float centreZ);

// Load the projection and the view of this frame: the chase view behind the
// scene's tank while the camera follows it, the free camera otherwise.
void selectView(const Scene& scene);
