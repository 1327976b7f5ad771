// What the mesh operations really hand to GL, read back through feedback mode
// under a placement the test chooses, and the placements the mesh
// tests work out their expected values under.
#pragma once

#include "geometry/mesh.h"
#include "tests/support/gl_program.h"
#include "tests/support/view_math.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

Vec3 toVec3(const Point3& p);
Point3 toPoint3(const Vec3& v);
std::string describe(const Vec3& v);

// Turn by angle degrees about an axis (right-hand rule), then move by offset.
Matrix4 placement(double angleDegrees, const Vec3& axis, const Vec3& offset);

// Looking straight down at the y = 0 plane: scene (x, y, z) lands at (x, z, -y),
// so a quad counter-clockwise seen from below is counter-clockwise on screen.
Matrix4 faceOnBelow();
// Some general rigid placement, so that no result depends on an axis-aligned view.
Matrix4 oblique();

// Run draw() with the client vertex array enabled and the model-view loaded
// with m, in feedback mode, and return the triangles GL produced in order
// (in the placed frame). Culling is off unless keepOnlyFrontFaces.
std::vector<FeedbackTriangle> captureMesh(const Matrix4& m, const std::function<void()>& draw,
                                          bool keepOnlyFrontFaces = false);

using Quad = std::array<Vec3, 4>;

// Expect the triangles to be exactly the given quads in order, each drawn as
// (q0, q1, q3) then (q1, q2, q3), once placed by m.
void expectQuadTriangles(const std::vector<FeedbackTriangle>& triangles,
                         const std::vector<Quad>& quads, const Matrix4& m);

// Signed area of a triangle on the screen (x, y); positive when counter-clockwise.
double screenArea(const FeedbackTriangle& triangle);
