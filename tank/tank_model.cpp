// The tank's model: corner and face tables of its three parts and their materials.
#include "tank/tank.h"

#include <algorithm>
#include <iterator>

namespace {

// Hull: an eight-sided outline in x-y, front at -x, 0.75 x 0.36 x 0.18.
constexpr Point3 hullCorners[TANK_MESH_CORNERS] = {
    {-0.3f, 0.0f, -0.18f},    {0.3f, 0.0f, 0.18f},       {0.3f, 0.0f, -0.18f},
    {-0.3f, 0.0f, 0.18f},     {-0.375f, 0.06f, -0.18f},  {-0.375f, 0.06f, 0.18f},
    {-0.375f, 0.12f, -0.18f}, {-0.375f, 0.12f, 0.18f},   {-0.225f, 0.18f, -0.18f},
    {-0.225f, 0.18f, 0.18f},  {0.375f, 0.18f, -0.18f},   {0.375f, 0.18f, 0.18f},
    {0.375f, 0.12f, -0.18f},  {0.375f, 0.12f, 0.18f},    {0.3375f, 0.06f, -0.18f},
    {0.3375f, 0.06f, 0.18f},
};

constexpr std::uint8_t hullFaces[TANK_MESH_FACES][4] = {
    {0, 2, 1, 3},    {0, 3, 5, 4},   {4, 5, 7, 6},    {6, 7, 9, 8},   {8, 9, 11, 10},
    {11, 13, 12, 10}, {13, 15, 14, 12}, {15, 1, 2, 14}, {7, 13, 11, 9}, {5, 15, 13, 7},
    {3, 1, 15, 5},   {12, 6, 8, 10}, {14, 4, 6, 12},  {2, 0, 4, 14},
};

// Turret: narrows to z = +-0.135 at its +x end; the barrel leaves at -x.
constexpr Point3 turretCorners[TANK_MESH_CORNERS] = {
    {-0.14f, 0.0f, -0.15f},   {-0.14f, 0.0f, 0.15f},    {0.045f, 0.0f, -0.15f},
    {0.045f, 0.0f, 0.15f},    {0.245f, 0.04f, -0.135f}, {0.245f, 0.04f, 0.135f},
    {0.245f, 0.09f, -0.135f}, {0.245f, 0.09f, 0.135f},  {0.045f, 0.12f, -0.15f},
    {0.045f, 0.12f, 0.15f},   {-0.14f, 0.12f, -0.15f},  {-0.14f, 0.12f, 0.15f},
    {-0.23f, 0.06f, -0.15f},  {-0.23f, 0.06f, 0.15f},   {-0.23f, 0.03f, -0.15f},
    {-0.23f, 0.03f, 0.15f},
};

constexpr std::uint8_t turretFaces[TANK_MESH_FACES][4] = {
    {0, 2, 3, 1},     {2, 4, 5, 3},    {5, 4, 6, 7},     {9, 7, 6, 8},   {11, 9, 8, 10},
    {13, 11, 10, 12}, {15, 13, 12, 14}, {1, 15, 14, 0},  {15, 1, 11, 13}, {1, 3, 9, 11},
    {3, 5, 7, 9},     {0, 14, 12, 10}, {2, 0, 10, 8},    {4, 2, 8, 6},
};

// Barrel: an octagonal prism from the breech (x = 0) to the muzzle (x = -0.305).
constexpr Point3 barrelCorners[TANK_MESH_CORNERS] = {
    {0.0f, 0.0f, -0.02f},       {0.0f, 0.014f, -0.014f},    {0.0f, 0.02f, 0.0f},
    {0.0f, 0.014f, 0.014f},     {0.0f, 0.0f, 0.02f},        {0.0f, -0.014f, 0.014f},
    {0.0f, -0.02f, 0.0f},       {0.0f, -0.014f, -0.014f},   {-0.305f, 0.0f, -0.02f},
    {-0.305f, 0.014f, -0.014f}, {-0.305f, 0.02f, 0.0f},     {-0.305f, 0.014f, 0.014f},
    {-0.305f, 0.0f, 0.02f},     {-0.305f, -0.014f, 0.014f}, {-0.305f, -0.02f, 0.0f},
    {-0.305f, -0.014f, -0.014f},
};

constexpr std::uint8_t barrelFaces[TANK_MESH_FACES][4] = {
    {0, 8, 9, 1},    {1, 9, 10, 2},   {2, 10, 11, 3}, {3, 11, 12, 4},  {12, 13, 5, 4},
    {5, 13, 14, 6},  {6, 14, 15, 7},  {7, 15, 8, 0},  {0, 1, 2, 3},    {7, 0, 3, 4},
    {6, 7, 4, 5},    {12, 11, 10, 9}, {13, 12, 9, 8}, {14, 13, 8, 15},
};

constexpr Material hullMaterial = {{0.25f, 0.25f, 0.25f}, {0.0f, 0.0f, 0.0f}, 1.0f, {0, 0, 0}};
constexpr Material turretMaterial = {{0.3f, 0.3f, 0.3f}, {0.05f, 0.05f, 0.05f}, 1.0f, {0, 0, 0}};
constexpr Material barrelMaterial = {{0.2f, 0.2f, 0.2f}, {0.0f, 0.0f, 0.0f}, 5.0f, {0, 0, 0}};

constexpr Point3 START_POSITION = {0.0f, 0.0f, 0.0f};
constexpr float START_HEADING = 180.0f; // degrees: facing +x
constexpr float DRIVE_STEP = 0.035f;    // scene units per tick

void copyFaces(const std::uint8_t (&from)[TANK_MESH_FACES][4], Face* to)
{
    for (int face = 0; face < TANK_MESH_FACES; ++face)
        std::copy(std::begin(from[face]), std::end(from[face]), to[face]);
}

} // namespace

Tank* makeTank()
{
    Tank* tank = new Tank;
    tank->position = START_POSITION;
    tank->heading = START_HEADING;
    tank->turretAngle = 0.0f;
    tank->barrelElevation = 0.0f;
    tank->step = DRIVE_STEP;
    std::copy(std::begin(hullCorners), std::end(hullCorners), tank->hullCorners);
    std::copy(std::begin(turretCorners), std::end(turretCorners), tank->turretCorners);
    std::copy(std::begin(barrelCorners), std::end(barrelCorners), tank->barrelCorners);
    copyFaces(hullFaces, tank->hullFaces);
    copyFaces(turretFaces, tank->turretFaces);
    copyFaces(barrelFaces, tank->barrelFaces);
    tank->hullMaterial = hullMaterial;
    tank->turretMaterial = turretMaterial;
    tank->barrelMaterial = barrelMaterial;
    return tank;
}
