// The program's own start-up run inside a test process: the camera, the scene,
// the window with its render state and lights, on a real GL context. Tests
// built on it call the program's operations and ask GL what it really holds.
#pragma once

#include "geometry/mesh.h"
#include "tests/support/xdriver.h"

#include <array>
#include <functional>
#include <vector>

// Make the camera and scene and call initGraphics once for the process, on a
// private Xvfb of its own (never $DISPLAY), with Mesa's software renderer.
// Safe to call again. A failure to start is a fatal test failure.
void startProgramInProcess();

// The X input driver on that private server, and the program's window on it.
XDriver& programDriver();
WindowId programWindow();

// Put the camera, tank, torus angle, flags, polygon mode, pointer and keys back
// to their start-up values, as if the program had just started.
void resetProgramState();

// The program's records alone, for tests of its logic: camera and scene made
// once (no X server, no GL), and put back to their start-up values with the
// flags and keys.
void makeProgramRecords();
void resetProgramRecords();

// Let the toolkit handle every pending window-system event once.
void pumpEvents();

// Handle the program's events until the server has the pointer at pixel
// (x, y) of the program's window; false after WAIT_MS.
bool waitForProgramPointerAt(int x, int y);

// A vertex as GL's feedback mode reports it, mapped back to scene units.
struct FeedbackVertex {
    float x;
    float y;
    float z;
};
using FeedbackTriangle = std::vector<FeedbackVertex>; // three vertices

// Everything GL's feedback mode reports of a drawing, in double precision:
// window coordinates mapped back to the units given to the model-view matrix,
// and the lit RGBA colour (0..1) of each vertex when colours were asked for.
struct FeedbackPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    std::array<double, 4> colour = {0.0, 0.0, 0.0, 0.0};
};
struct Feedback {
    std::vector<std::vector<FeedbackPoint>> polygons;
    std::vector<std::array<FeedbackPoint, 2>> lines;
};

// Run draw() in feedback mode under a projection that maps units straight to
// window coordinates (a cube of +-halfExtent around the origin), with the
// model-view matrix as draw() leaves it, and return the polygons and lines GL
// would have rasterised, in order. Culling stays on unless keepBackFaces.
Feedback captureFeedback(const std::function<void()>& draw, double halfExtent, bool keepBackFaces,
                         bool withColour);

// The polygons alone, in a 200-unit cube around the origin.
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
