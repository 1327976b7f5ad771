// The program's own start-up run inside a test process: the camera, the scene,
// the window with its render state and lights, on a real GL context. Tests
// built on it call the program's operations and ask GL what it really holds.
#pragma once

#include "geometry/mesh.h"

#include <functional>
#include <vector>

// Make the camera and scene and call initGraphics once for the process, on
// $DISPLAY if usable, else on a private Xvfb. Safe to call again.
void startProgramInProcess();

// Put the camera, tank, torus angle, flags, polygon mode, pointer and keys back
// to their start-up values, as if the program had just started.
void resetProgramState();

// Let the toolkit handle every pending window-system event once.
void pumpEvents();

// A vertex as GL's feedback mode reports it, mapped back to scene units.
struct FeedbackVertex {
    float x;
    float y;
    float z;
};
using FeedbackTriangle = std::vector<FeedbackVertex>; // three vertices

// Run draw() in feedback mode under a projection that maps scene units straight
// to window coordinates (a 200-unit cube around the origin), with the
// model-view matrix as draw() leaves it, and return the polygons GL would have
// rasterised, in order. Culling stays on unless keepBackFaces.
std::vector<FeedbackTriangle> capturePolygons(const std::function<void()>& draw,
                                              bool keepBackFaces = false);

// Window pixel (x from the left, y from the bottom) that a world point lands on
// under the current model-view, projection and viewport; false if behind the eye.
bool projectToWindow(const Point3& world, double& winX, double& winY);

// Colour of one pixel of the back buffer, 0..255 each; y from the bottom.
struct Rgb {
    int red;
    int green;
    int blue;
};
Rgb readBackPixel(int x, int y);

// Draw one whole frame with the program's renderFrame (not shown on screen).
void drawFrame();
