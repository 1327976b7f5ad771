// The drivable tank: its state, its three meshes (hull, turret, barrel) with
// their materials, its drawing, its keyboard controls and the chase view.
#pragma once

#include "geometry/mesh.h"

constexpr int TANK_MESH_CORNERS = 16;
constexpr int TANK_MESH_FACES = 14;

struct Tank {
    Point3 position;       // hull frame origin, scene units; y stays 0
    float heading;         // hull turn about +y, degrees; 180 faces +x
    float turretAngle;     // turret turn relative to the hull, degrees
    float barrelElevation; // degrees about the turret's -z axis, -15 .. 35
    float step;            // scene units driven per tick
    Point3 hullCorners[TANK_MESH_CORNERS];
    Point3 turretCorners[TANK_MESH_CORNERS];
    Point3 barrelCorners[TANK_MESH_CORNERS];
    Face hullFaces[TANK_MESH_FACES];
    Face turretFaces[TANK_MESH_FACES];
    Face barrelFaces[TANK_MESH_FACES];
    Material hullMaterial;
    Material turretMaterial;
    Material barrelMaterial;
};

// A new tank at the origin facing +x, barrel level; the caller owns it.
Tank* makeTank();

// Draw hull, turret and barrel under one push and pop, each part's transform on
// top of the one before. Leaves the matrix as it found it, the vertex array
// disabled, and the barrel's material and normal current.
void drawTank(const Tank& tank);

// Draw one part's 14 faces in the current transform and material: side strips
// 0..7 and faces 8 and 11 with their own normals, faces 9, 10, 12 and 13 lit
// with the normal of the face before them.
void drawTankMesh(const Point3* corners, const Face* faces);

// One tick of the tank's keys: W/S drive by step along the heading, A/D turn
// the hull 1 degree, Q/E the turret 2 degrees, R/F the barrel 0.5 degree.
void driveTank(Tank& tank);

// One coordinate of the chase view, single precision: index 0..2 the point
// looked at 1.5 units ahead along the turret's direction at height 0.25, 3..5
// the eye 0.6 units behind at height 0.45.
float chaseCoordinate(const Tank& tank, int index);
