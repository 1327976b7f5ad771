// The tank as GL really receives it from drawTank: its triangles in scene
// units and the normal each vertex is lit with, read back in feedback mode
// under an identity model-view, so results are in the scene's own frame.
#pragma once

#include "tank/tank.h"
#include "tests/geometry/mesh_capture.h"

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

// drawTank draws the hull, the turret and the barrel in that order, each as
// 14 faces of 16 quads, each quad as 2 triangles.
enum TankPart : std::size_t { HULL = 0, TURRET = 1, BARREL = 2 };
constexpr std::size_t TANK_PARTS = 3;
constexpr std::size_t FACES_PER_PART = 14;
constexpr std::size_t TRIANGLES_PER_FACE = 32;
constexpr std::size_t TRIANGLES_PER_PART = FACES_PER_PART * TRIANGLES_PER_FACE;
constexpr std::size_t TANK_TRIANGLES = TANK_PARTS * TRIANGLES_PER_PART;

// Every triangle drawTank hands to GL, both sides kept, in drawing order.
std::vector<FeedbackTriangle> captureTank(const Tank& tank);

// The triangles of faces first..last (inclusive) of one part.
std::vector<FeedbackTriangle> faceTriangles(const std::vector<FeedbackTriangle>& tank,
                                            TankPart part, std::size_t first, std::size_t last);

// Mean of all vertices of the triangles.
Vec3 meanVertex(const std::vector<FeedbackTriangle>& triangles);

// Centres of the barrel's two ends (faces 11..13 and 8..10). Each end's
// triangles are symmetric about the barrel's axis, so their mean vertex is
// the centre.
Vec3 muzzleCentre(const std::vector<FeedbackTriangle>& tank);
Vec3 breechCentre(const std::vector<FeedbackTriangle>& tank);

// Normal the winding of a fed-back triangle points along (not normalised).
Vec3 windingNormal(const FeedbackTriangle& triangle);

// The lit colour of each vertex of drawTank's triangles, red, green and blue,
// with every light off and the global ambient black until light() sets up
// its own; lighting state is restored afterwards.
using VertexColours = std::array<Vec3, 3>;
std::vector<VertexColours> captureTankColours(const Tank& tank, const std::function<void()>& light);

// The normal GL lights each vertex of each of drawTank's triangles with, in
// eye (here scene) coordinates, recovered from the lit colours under three
// directional lights along the axes.
using VertexNormals = std::array<Vec3, 3>;
std::vector<VertexNormals> captureTankNormals(const Tank& tank);
